#include "ui/FrameStatusBar.h"

FrameStatusBar::FrameStatusBar(wxWindow* pParent, const wxString& strName)
    : wxStatusBar(pParent, wxID_ANY, wxSTB_DEFAULT_STYLE, strName)
{
}

void FrameStatusBar::DoUpdateStatusText(int nField)
{
    wxRect rect;
    if (GetFieldRect(nField, rect))
        RefreshRect(rect);
}

#pragma once

#include <wx/statusbr.h>

// The main window's status bar. A new text is drawn with the window's next
// paint rather than at once: a count writes its progress many times a second,
// and drawing at once would wait for the display server every time.
class FrameStatusBar : public wxStatusBar
{
public:
    FrameStatusBar(wxWindow* pParent, const wxString& strName);

protected:
    void DoUpdateStatusText(int nField) override;
};

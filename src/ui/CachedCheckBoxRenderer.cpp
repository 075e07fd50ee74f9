#include "ui/CachedCheckBoxRenderer.h"

#include <cstring>
#include <wx/dcmemory.h>
#include <wx/image.h>

CachedCheckBoxRenderer::CachedCheckBoxRenderer()
    : wxDelegateRendererNative(wxRendererNative::GetDefault())
{
}

void CachedCheckBoxRenderer::Install()
{
    if (!dynamic_cast<CachedCheckBoxRenderer*>(&wxRendererNative::Get()))
        delete wxRendererNative::Set(new CachedCheckBoxRenderer); // wx owns ours
}

void CachedCheckBoxRenderer::Forget()
{
    if (auto* pRenderer = dynamic_cast<CachedCheckBoxRenderer*>(&wxRendererNative::Get()))
        pRenderer->m_boxes.clear();
}

void CachedCheckBoxRenderer::DrawCheckBox(wxWindow* pWindow, wxDC& dc, const wxRect& rect,
                                          int nFlags)
{
    // A scaled display or an odd size is drawn as it comes: the copy would
    // have to be made at the device's resolution.
    if (dc.GetContentScaleFactor() != 1.0 || rect.width <= 0 || rect.height <= 0 ||
        rect.width > 256 || rect.height > 256)
    {
        wxDelegateRendererNative::DrawCheckBox(pWindow, dc, rect, nFlags);
        return;
    }
    wxBitmap& box = m_boxes[{rect.width, rect.height, nFlags}];
    if (!box.IsOk())
    {
        // Drawn on a transparent picture, so that it lies on any background.
        wxImage image(rect.width, rect.height);
        image.InitAlpha();
        std::memset(image.GetAlpha(), 0, static_cast<size_t>(rect.width) * rect.height);
        box = wxBitmap(image, 32);
        wxMemoryDC boxDc(box);
        wxDelegateRendererNative::DrawCheckBox(pWindow, boxDc,
                                               wxRect(0, 0, rect.width, rect.height), nFlags);
    }
    dc.DrawBitmap(box, rect.x, rect.y, true);
}

#pragma once

#include <map>
#include <tuple>
#include <wx/bitmap.h>
#include <wx/renderer.h>

// The native renderer, but each look of a check box (its size and state) is
// drawn once and then copied. GTK draws a check mark by loading its SVG icon
// again for every box, some 2 ms each, so the filter lists' dozens of boxes in
// view took tenths of a second to paint after every count and every scroll.
class CachedCheckBoxRenderer : public wxDelegateRendererNative
{
public:
    CachedCheckBoxRenderer();

    // Makes it the renderer of every window of the program (once).
    static void Install();
    // Drops the copies, for a theme the user has just changed to.
    static void Forget();

    void DrawCheckBox(wxWindow* pWindow, wxDC& dc, const wxRect& rect, int nFlags) override;

private:
    std::map<std::tuple<int, int, int>, wxBitmap> m_boxes; // width, height, flags
};

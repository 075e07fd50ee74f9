#include "ui/UiImages.h"

#include "config/DataFiles.h"

#include <wx/image.h>

// A missing file is reported by wx's own error log and leaves the control
// without that picture.
wxBitmap LoadImage(const wxString& strName)
{
    const wxImage image(DataFilePath("img/" + strName), wxBITMAP_TYPE_ANY);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

wxBitmapButton* MakeBitmapButton(wxWindow* pParent, const ButtonImages& images,
                                 const wxString& strToolTip, const wxString& strName, long nStyle)
{
    auto* pButton =
        new wxBitmapButton(pParent, wxID_ANY, LoadImage(images.normal), wxDefaultPosition,
                           wxDefaultSize, nStyle, wxDefaultValidator, strName);
    if (const wxBitmap bmp = LoadImage(images.pressed); bmp.IsOk())
        pButton->SetBitmapPressed(bmp);
    if (const wxBitmap bmp = LoadImage(images.focused); bmp.IsOk())
        pButton->SetBitmapFocus(bmp);
    if (const wxBitmap bmp = LoadImage(images.disabled); bmp.IsOk())
        pButton->SetBitmapDisabled(bmp);
    pButton->SetToolTip(strToolTip);
    return pButton;
}

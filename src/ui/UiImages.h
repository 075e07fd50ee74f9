#pragma once

#include <wx/bitmap.h>
#include <wx/bmpbuttn.h>
#include <wx/string.h>

// The pictures of the window's tools, menus and buttons, read from the
// program's img/ folder, and the four-picture bitmap buttons every pane uses.

// A picture of img/ by file name; an empty bitmap when it cannot be read (wx's
// own error log names the file).
wxBitmap LoadImage(const wxString& strName);

// Normal, pressed, focused and disabled pictures of one bitmap button.
struct ButtonImages
{
    const char* normal;
    const char* pressed;
    const char* focused;
    const char* disabled;
};

inline constexpr ButtonImages ADD_IMAGES = {"Add_s16_01.png", "Add_s15_01.png", "Add_s16_02.png",
                                            "Add_s16_03.png"};
inline constexpr ButtonImages DELETE_IMAGES = {"Del_s16_01.png", "Del_s15_01.png", "Del_s16_02.png",
                                               "Del_s16_03.png"};
inline constexpr ButtonImages SOURCE_TYPE_IMAGES = {"Ext_s16_02.png", "Ext_s15_01.png",
                                                    "Ext_s16_01.png", "Ext_s16_03.png"};
inline constexpr ButtonImages START_IMAGES = {"Start_s24_01.png", "Start_s22_01.png",
                                              "Start_s24_02.png", "Start_s24_03.png"};
inline constexpr ButtonImages STOP_IMAGES = {"Stop_s16_01.png", "Stop_s15_01.png",
                                             "Stop_s16_02.png", "Stop_s16_01.png"};
inline constexpr ButtonImages REFRESH_IMAGES = {"Ref_s16_01.png", "Ref_s15_01.png",
                                                "Ref_s16_02.png", "Ref_s16_03.png"};

// A bitmap button with its four pictures, a tooltip and a window name.
wxBitmapButton* MakeBitmapButton(wxWindow* pParent, const ButtonImages& images,
                                 const wxString& strToolTip, const wxString& strName,
                                 long nStyle = wxBU_AUTODRAW);

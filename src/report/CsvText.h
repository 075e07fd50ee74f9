#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <wx/string.h>

// The text of a CSV export as it is built: lines ending in CR LF, the
// comment rules and titles between sections, and numbers written the same
// way in every export.
class CsvText
{
public:
    void Line(const std::string& str)
    {
        m_str += str;
        m_str += "\r\n";
    }
    void Empty() { m_str += "\r\n"; }
    void Rule() { Line("# ----------------------------------------------------------------------"); }
    void Title(const wxString& strTitle)
    {
        Rule();
        Line(Utf8(strTitle));
        Rule();
    }
    // The lines that open every export: the program, its address, the time.
    void Header();

    // Fixed-point text of a number, independent of the C locale: a window
    // program running under a locale with a decimal comma must still write
    // "50.0", or every number would split its line into two fields.
    static std::string Fixed(double fValue, int nDecimals)
    {
        char buf[64];
        auto res =
            std::to_chars(buf, buf + sizeof(buf), fValue, std::chars_format::fixed, nDecimals);
        return std::string(buf, res.ptr);
    }
    static std::string Int(std::int64_t nValue) { return std::to_string(nValue); }
    static std::string Utf8(const wxString& str)
    {
        const wxScopedCharBuffer buf = str.utf8_str();
        return std::string(buf.data(), buf.length());
    }

    std::string m_str;
};

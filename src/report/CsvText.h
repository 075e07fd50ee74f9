#pragma once

#include <cstdint>
#include <string>
#include <wx/string.h>

// The text of a CSV export as it is built: lines ending in CR LF, the
// comment rules and titles between sections (numbers: FixedText, Rounding.h).
class CsvText
{
public:
    void Line(const std::string& str)
    {
        m_str += str;
        m_str += "\r\n";
    }
    void Empty() { m_str += "\r\n"; }
    void Rule()
    {
        Line("# ----------------------------------------------------------------------");
    }
    void Title(const wxString& strTitle)
    {
        Rule();
        Line(Utf8(strTitle));
        Rule();
    }
    // The lines that open every export: the program, its address, the time.
    void Header();

    static std::string Int(std::int64_t nValue) { return std::to_string(nValue); }
    static std::string Utf8(const wxString& str)
    {
        const wxScopedCharBuffer buf = str.utf8_str();
        return std::string(buf.data(), buf.length());
    }

    std::string m_str;
};

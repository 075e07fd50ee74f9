#pragma once

#include <algorithm>
#include <string>
#include <vector>

// The aligned tables linecast-cli prints. Rows of cells: text columns
// left-aligned, number columns right-aligned. A row without cells is drawn as
// a rule as wide as the table.
class TextTable
{
public:
    explicit TextTable(std::size_t nTextColumns = 1) : m_nTextColumns(nTextColumns) {}
    void Row(std::vector<std::string> arrCells) { m_arrRows.push_back(std::move(arrCells)); }
    void Rule() { m_arrRows.emplace_back(); }

    // Width on a terminal: UTF-8 continuation bytes take no column.
    static std::size_t Columns(const std::string& str)
    {
        return std::count_if(str.begin(), str.end(), [](char c) { return (c & 0xC0) != 0x80; });
    }

    std::string Render() const
    {
        std::vector<std::size_t> arrWidths;
        for (const auto& row : m_arrRows)
        {
            arrWidths.resize(std::max(arrWidths.size(), row.size()), 0);
            for (std::size_t i = 0; i < row.size(); ++i)
                arrWidths[i] = std::max(arrWidths[i], Columns(row[i]));
        }
        std::size_t nTotal = 0;
        for (std::size_t i = 0; i < arrWidths.size(); ++i)
            nTotal += arrWidths[i] + (i ? 2 : 0);

        std::string str;
        for (const auto& row : m_arrRows)
        {
            if (row.empty())
            {
                str += std::string(nTotal, '-') + "\n";
                continue;
            }
            std::string strLine;
            for (std::size_t i = 0; i < row.size(); ++i)
            {
                const std::string strPad(arrWidths[i] - Columns(row[i]), ' ');
                if (i)
                    strLine += "  ";
                strLine += i < m_nTextColumns ? row[i] + strPad : strPad + row[i];
            }
            while (!strLine.empty() && strLine.back() == ' ')
                strLine.pop_back();
            str += strLine + "\n";
        }
        return str;
    }

private:
    std::size_t m_nTextColumns;
    std::vector<std::vector<std::string>> m_arrRows;
};

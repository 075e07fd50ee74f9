#include "ui/panes/AnalysisPane.h"

#include "report/AnalysisParam.h"
#include "ui/UiImages.h"

#include <algorithm>
#include <wx/intl.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>
#include <wx/sizer.h>

namespace
{
struct ParamProperty
{
    const char* szCategory; // starts a category when set
    const char* szLabel;
    const char* szName; // a name of GetAnalysisParamInfos
};

const ParamProperty PARAM_PROPERTIES[] = {
    {wxTRANSLATE("Productivity and Cost"), wxTRANSLATE("Coding productivity per man-month"),
     "ManMonthLines"},
    {nullptr, wxTRANSLATE("Man-days of one man-month"), "ManMonthDays"},
    {nullptr, wxTRANSLATE("Cost of one man-month"), "ManMonthCost"},
    {wxTRANSLATE("Test Case and Defect"), wxTRANSLATE("Unit Test case density"), "UTCaseDensity"},
    {nullptr, wxTRANSLATE("Unit Test defect density"), "UTDefectDensity"},
    {nullptr, wxTRANSLATE("Integration Test case density"), "ITCaseDensity"},
    {nullptr, wxTRANSLATE("Integration Test defect density"), "ITDefectDensity"},
    {wxTRANSLATE("Phase Percentage(%)"), wxTRANSLATE("Low Level Design / Coding"), "LLD"},
    {nullptr, wxTRANSLATE("Unit Test / Coding"), "UT"},
    {nullptr, wxTRANSLATE("Integration Test / Coding"), "IT"},
};

const AnalysisParamInfo& InfoOf(const char* szName)
{
    std::size_t nCount = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nCount);
    const AnalysisParamInfo* pInfo = std::find_if(pInfos, pInfos + nCount,
                                                  [szName](const AnalysisParamInfo& info)
                                                  { return wxStrcmp(info.name, szName) == 0; });
    wxASSERT(pInfo != pInfos + nCount);
    return *pInfo;
}

wxString UnitsText(const char* szUnits)
{
    // "%" is the same in every language.
    return wxStrcmp(szUnits, "%") == 0 ? wxString(szUnits) : wxGetTranslation(szUnits);
}
} // namespace

AnalysisPane::AnalysisPane(wxWindow* pParent)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "ID_PANEL2")
{
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    m_pGrid = new wxPropertyGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxPG_BOLD_MODIFIED | wxPG_SPLITTER_AUTO_CENTER | wxPG_TOOLTIPS);
    pSizer->Add(m_pGrid, wxSizerFlags(1).Expand().Border(wxALL, 4));
    m_pRefresh = MakeBitmapButton(this, REFRESH_IMAGES, _("Refresh result"), "ID_BITMAPBUTTON3");
    pSizer->Add(m_pRefresh, wxSizerFlags().Border(wxALL, 4));
    SetSizer(pSizer);
}

void AnalysisPane::CreateProperties(const AnalysisParam& param)
{
    m_pGrid->SetColumnProportion(0, 3);
    m_pGrid->SetColumnProportion(1, 2);
    for (const ParamProperty& property : PARAM_PROPERTIES)
    {
        if (property.szCategory)
            m_pGrid->Append(new wxPropertyCategory(wxGetTranslation(property.szCategory)));
        const AnalysisParamInfo& info = InfoOf(property.szName);
        wxPGProperty* pProperty = m_pGrid->Append(new wxUIntProperty(
            wxGetTranslation(property.szLabel), property.szName, param.*info.field));
        // Entries outside the limits are refused with a message, so no
        // parameter can become 0 and divide by it.
        pProperty->SetAttribute(wxPG_ATTR_MIN, info.nMin);
        pProperty->SetAttribute(wxPG_ATTR_MAX, info.nMax);
        pProperty->SetAttribute(wxPG_ATTR_UNITS, UnitsText(info.units));
    }
}

void AnalysisPane::ReadParams(AnalysisParam& param) const
{
    param.m_bModified = m_pGrid->IsAnyModified();
    if (!param.m_bModified)
        return;
    for (const ParamProperty& property : PARAM_PROPERTIES)
    {
        const AnalysisParamInfo& info = InfoOf(property.szName);
        const long nValue = m_pGrid->GetPropertyValueAsLong(property.szName);
        // The grid refuses entries outside the limits; a value set past it
        // still must not reach the estimates.
        param.*info.field = static_cast<int>(std::clamp<long>(nValue, info.nMin, info.nMax));
    }
}

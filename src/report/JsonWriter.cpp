#include "report/JsonWriter.h"

#include "config/Version.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "report/AnalysisParam.h"
#include "report/JsonFields.h"
#include "report/OutputFile.h"

#include <ctime>

namespace
{
using namespace JsonFields;

void PutCounts(Json& object, const Result& r)
{
    object["lines"] = r.m_nLines;
    object["code"] = r.m_nCodeLines;
    object["code_and_comment"] = r.m_nCodeCommentLines;
    object["comment"] = r.m_nCommentLines;
    object["blank"] = r.m_nBlankLines;
    object["size"] = r.m_nSize;
}

Json Group(const std::string& strKey, const wxString& strName, const Result& r)
{
    Json group;
    PutName(group, strKey, strName);
    group["files"] = r.m_nFiles;
    PutCounts(group, r);
    return group;
}

// Local time with its offset from UTC (RFC 3339), so the date reads as the
// CSV's and the instant is still exact.
Json Modified(const wxDateTime& dt)
{
    if (!dt.IsValid())
        return nullptr;
    const std::time_t tTime = dt.GetTicks();
    std::tm tmLocal{};
    char szText[40];
    if (!localtime_r(&tTime, &tmLocal) ||
        std::strftime(szText, sizeof(szText), "%Y-%m-%dT%H:%M:%S%z", &tmLocal) == 0)
        return nullptr;
    std::string str = szText; // ...+0200
    str.insert(str.size() - 2, ":");
    return str;
}

} // namespace

std::string FormatResultJson(const CountingManager& manager, const AnalysisParam& param)
{
    Json root;
    root["generator"] = std::string("Linecast ") + LinecastVersion::TEXT;

    root["parameters"] = Parameters(param);

    const TotalResult& t = manager.m_totalResult;
    Json& total = root["total"];
    total["files"] = t.m_nFiles;
    PutCounts(total, t);
    PutEstimates(total, t);

    // Every file of the last run, hidden by the window's filter or not, as in
    // the CSV.
    Json& files = root["files"] = Json::array();
    for (const auto& pFile : manager.m_arrFileResults)
    {
        Json file;
        PutName(file, "path", pFile->m_strPath);
        PutName(file, "folder", pFile->m_strFolder);
        PutName(file, "file", pFile->m_strFile);
        file["extension"] = Utf8(NativePath::ToDisplay(pFile->m_strExt));
        PutCounts(file, *pFile);
        // The time of a file that could not be read is not known.
        file["modified"] = pFile->m_bUnreadable ? Json() : Modified(pFile->m_dtModified);
        PutEstimates(file, *pFile);
        file["unreadable"] = pFile->m_bUnreadable;
        files.push_back(std::move(file));
    }

    Json& folders = root["folders"] = Json::array();
    for (const auto& pDir : manager.m_arrDirectoryResults)
        folders.push_back(Group("folder", pDir->m_strName, *pDir));
    Json& extensions = root["extensions"] = Json::array();
    for (const auto& pExt : manager.m_arrExtensionResults)
        extensions.push_back(Group("extension", pExt->m_strName, *pExt));

    root["phases"] = Phases(t, param);

    // What the run left out, in the order it met it, then the files it could
    // not read (those are still counted, as empty files).
    Json& skipped = root["skipped"] = Json::array();
    PutSkipped(skipped, manager.m_arrSkippedPaths);
    for (const auto& pFile : manager.m_arrFileResults)
    {
        if (!pFile->m_bUnreadable)
            continue;
        Json entry;
        PutName(entry, "path", pFile->m_strPath);
        entry["kind"] = "file";
        entry["reason"] = "could not be read; counted as an empty file";
        skipped.push_back(std::move(entry));
    }

    // Every text above is valid UTF-8; replacing rather than throwing is only
    // the last line of defence.
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool WriteResultJson(const CountingManager& manager, const AnalysisParam& param,
                     const wxString& strPath, wxString& strError)
{
    return WriteOutputFile(strPath, FormatResultJson(manager, param), strError);
}

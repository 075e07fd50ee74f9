#include "report/ChangeJsonWriter.h"

#include "compare/Comparison.h"
#include "config/Version.h"
#include "engine/NativePath.h"
#include "report/JsonFields.h"
#include "report/OutputFile.h"

namespace
{
using namespace JsonFields;

void PutFigures(Json& object, const ChangeResult& r)
{
    static const char* const KINDS[ChangeResult::KIND_COUNT] = {"lines", "code", "code_and_comment",
                                                                "comment", "blank"};
    object["lines_added"] = r.LinesAdded();
    object["lines_removed"] = r.LinesRemoved();
    for (int i = 0; i < ChangeResult::KIND_COUNT; ++i)
    {
        const LineChanges& kind = r.m_arrKinds[i];
        object[KINDS[i]] = Json{{"same", kind.m_nSame},
                                {"modified", kind.m_nModified},
                                {"added", kind.m_nAdded},
                                {"removed", kind.m_nRemoved}};
    }
    const Result& c = r.m_changed;
    object["changed_code"] = c.m_nCodeLines + c.m_nCodeCommentLines;
    PutEstimates(object, c);
}

Json Sum(const ChangeResult& r)
{
    Json sum;
    sum["files"] = r.m_nFiles;
    for (int i = 0; i < ChangeResult::STATUS_COUNT; ++i)
        sum[std::string("files_") + ChangeResult::StatusName(ChangeResult::Status(i))] =
            r.m_arrFiles[i];
    PutFigures(sum, r);
    return sum;
}

Json Group(const std::string& strKey, const ChangeGroup& group)
{
    Json object;
    PutName(object, strKey, group.m_strName);
    object.update(Sum(group));
    return object;
}
} // namespace

std::string FormatChangeJson(const Comparison& comparison, const wxString& strOld,
                             const wxString& strNew, const AnalysisParam& param)
{
    Json root;
    root["generator"] = std::string("Linecast ") + LinecastVersion::TEXT;
    PutName(root, "old", strOld);
    PutName(root, "new", strNew);

    root["parameters"] = Parameters(param);
    root["total"] = Sum(comparison.m_total);
    root["phases"] = Phases(comparison.m_total.m_changed, param);

    Json folders = Json::array();
    for (const auto& pDir : comparison.m_arrFolders)
        folders.push_back(Group("folder", *pDir));
    root["folders"] = std::move(folders);
    Json extensions = Json::array();
    for (const auto& pExt : comparison.m_arrExtensions)
        extensions.push_back(Group("extension", *pExt));
    root["extensions"] = std::move(extensions);

    Json files = Json::array();
    for (const auto& pFile : comparison.m_arrFiles)
    {
        Json file;
        PutName(file, "path", pFile->m_strPath);
        file["status"] = ChangeResult::StatusName(pFile->m_nStatus);
        file["extension"] = Utf8(NativePath::ToDisplay(pFile->m_strExt));
        PutFigures(file, *pFile);
        file["unreadable"] = pFile->m_bUnreadable;
        files.push_back(std::move(file));
    }
    root["files"] = std::move(files);

    // What either version's walk left out, then the files a version of which
    // could not be read (compared as empty files).
    Json& skipped = root["skipped"] = Json::array();
    PutSkipped(skipped, comparison.m_arrSkippedPaths);
    for (const auto& pFile : comparison.m_arrFiles)
    {
        if (!pFile->m_bUnreadable)
            continue;
        Json entry;
        PutName(entry, "path", pFile->m_strPath);
        entry["kind"] = "file";
        entry["reason"] = "could not be read in a version; compared as an empty file";
        skipped.push_back(std::move(entry));
    }
    // Names that are not UTF-8 are escaped above; anything else is replaced
    // rather than failing the whole export.
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool WriteChangeJson(const Comparison& comparison, const wxString& strOld, const wxString& strNew,
                     const AnalysisParam& param, const wxString& strPath, wxString& strError)
{
    return WriteOutputFile(strPath, FormatChangeJson(comparison, strOld, strNew, param), strError);
}

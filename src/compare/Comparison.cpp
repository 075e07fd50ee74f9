#include "compare/Comparison.h"

#include "compare/GitVersion.h"
#include "compare/LineDiff.h"
#include "compare/VersionSource.h"
#include "engine/Counter.h"
#include "engine/CountingManager.h"
#include "engine/CountingWorkers.h"
#include "engine/MessagePump.h"
#include "engine/NativePath.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <wx/log.h>

namespace
{
// Files handed to the workers and not yet taken out, per worker.
constexpr std::size_t FILES_AHEAD_PER_JOB = 64;

// A rule type's counter and its markers as bytes, taken on the run's thread,
// so the workers read no text of the rule table.
struct RuleType
{
    Counter* pCounter;
    Counter::Markers markers;
};

// One path found in either version, and what comparing its versions found.
struct Pair
{
    const VersionFile* pOld = nullptr;
    const VersionFile* pNew = nullptr;
    const RuleType* pType = nullptr;
    // Filled on a worker.
    VersionRead oldRead;
    VersionRead newRead;
    // Kept until the run takes the pair: a version it then drops as a file
    // met before under another name leaves the other's lines added or
    // removed.
    LineKinds arrOldKinds;
    LineKinds arrNewKinds;
    ChangeResult change;
    bool bNotDiffed = false;
};

// Reads, classifies and diffs the two versions of one path, on any thread.
void ComparePair(const VersionSource& oldVersion, const VersionSource& newVersion, Pair& pair)
{
    Counter& counter = *pair.pType->pCounter;
    const Counter::Markers& markers = pair.pType->markers;
    std::string strOld, strNew;
    bool bOldRead = false, bNewRead = false;
    bool bSame = false;
    if (pair.pOld && pair.pNew)
    {
        const VersionFile& oldFile = *pair.pOld;
        const VersionFile& newFile = *pair.pNew;
        if (oldFile.bHasId && newFile.bHasId && oldFile.arrId == newFile.arrId)
        {
            // The same blob: read once.
            pair.newRead = newVersion.Read(newFile, strNew);
            pair.oldRead.bRead = pair.newRead.bRead;
            bOldRead = bNewRead = bSame = true;
        }
        else if (oldFile.bHasId != newFile.bHasId)
        {
            // One version knows its blob's id: hashing the other's file
            // tells an unchanged file without reading the blob.
            const bool bOldKnown = oldFile.bHasId;
            VersionRead& read = bOldKnown ? pair.newRead : pair.oldRead;
            std::string& strBytes = bOldKnown ? strNew : strOld;
            read =
                bOldKnown ? newVersion.Read(newFile, strBytes) : oldVersion.Read(oldFile, strBytes);
            (bOldKnown ? bNewRead : bOldRead) = true;
            if (read.bRead &&
                GitVersion::BlobId(strBytes) == (bOldKnown ? oldFile.arrId : newFile.arrId))
            {
                VersionRead& known = bOldKnown ? pair.oldRead : pair.newRead;
                known.bRead = true;
                known.dtModified = (bOldKnown ? oldVersion : newVersion).SharedTime();
                if (!bOldKnown)
                    strNew.swap(strOld);
                bOldRead = bNewRead = bSame = true;
            }
        }
    }
    if (pair.pNew && !bNewRead)
        pair.newRead = newVersion.Read(*pair.pNew, strNew);
    if (pair.pOld && !bOldRead)
        pair.oldRead = oldVersion.Read(*pair.pOld, strOld);
    if (!bSame && pair.pOld && pair.pNew && pair.oldRead.bRead && pair.newRead.bRead)
        bSame = strOld == strNew;

    if (bSame)
    {
        counter.ClassifyBytes(markers, strNew, pair.arrNewKinds);
        if (pair.oldRead.bOtherNames)
            pair.arrOldKinds = pair.arrNewKinds; // the old one may yet be dropped
        LineDiff::AddAll(pair.arrNewKinds, &LineChanges::m_nSame, pair.change);
        return;
    }
    // A version that cannot be read counts as an empty file, as in a count.
    if (pair.pOld && pair.oldRead.bRead)
        counter.ClassifyBytes(markers, strOld, pair.arrOldKinds);
    if (pair.pNew && pair.newRead.bRead)
        counter.ClassifyBytes(markers, strNew, pair.arrNewKinds);
    if (pair.pOld && pair.pNew)
        pair.bNotDiffed = !LineDiff::Compare(
            pair.oldRead.bRead ? strOld : std::string(), pair.arrOldKinds,
            pair.newRead.bRead ? strNew : std::string(), pair.arrNewKinds, pair.change);
    else if (pair.pNew)
        LineDiff::AddAll(pair.arrNewKinds, &LineChanges::m_nAdded, pair.change);
    else
        LineDiff::AddAll(pair.arrOldKinds, &LineChanges::m_nRemoved, pair.change);
}

bool ByPath(const VersionFile& a, const VersionFile& b)
{
    return a.strPath < b.strPath;
}

// The estimates of a file's changed code, from its figures.
void Estimate(const AnalysisParam& param, FileChange& file)
{
    const auto changed = [&file](int nKind)
    {
        const LineChanges& kind = file.m_arrKinds[nKind];
        return kind.m_nAdded + kind.m_nModified;
    };
    Result& r = file.m_changed;
    r.m_nLines = changed(ChangeResult::KIND_LINES);
    r.m_nCodeLines = changed(ChangeResult::KIND_CODE);
    r.m_nCodeCommentLines = changed(ChangeResult::KIND_CODE_COMMENT);
    r.m_nCommentLines = changed(ChangeResult::KIND_COMMENT);
    r.m_nBlankLines = changed(ChangeResult::KIND_BLANK);
    CountingManager::CalcFileAnalysis(param, r);
}
} // namespace

void Comparison::Clear()
{
    m_arrFiles.clear();
    m_arrFolders.clear();
    m_arrExtensions.clear();
    m_total = ChangeResult();
    m_arrSkippedPaths.clear();
}

void Comparison::Run(const VersionSource& oldVersion, const VersionSource& newVersion,
                     const std::vector<std::string>& arrFolders, bool bRecursive,
                     const AnalysisParam& param)
{
    // Nothing found on disk may turn into a message box in the middle of a run.
    wxLogNull noLog;
    Clear();
    const std::vector<std::string> arrWhere =
        arrFolders.empty() ? std::vector<std::string>{std::string()} : arrFolders;
    std::vector<VersionFile> arrOld, arrNew;
    oldVersion.List(m_manager, arrWhere, bRecursive, arrOld, m_arrSkippedPaths);
    if (m_manager.m_nState != CountingManager::STATE_STOPPED)
        newVersion.List(m_manager, arrWhere, bRecursive, arrNew, m_arrSkippedPaths);

    // Paired by path, in the order of their paths' bytes.
    std::stable_sort(arrOld.begin(), arrOld.end(), ByPath);
    std::stable_sort(arrNew.begin(), arrNew.end(), ByPath);
    std::unordered_map<wxString, std::unique_ptr<RuleType>> types;
    const auto typeOf = [&](const VersionFile& file)
    {
        std::unique_ptr<RuleType>& pType = types[file.strRuleType];
        if (!pType)
        {
            Counter* pCounter = m_manager.GetCounter(file.strRuleType);
            pType =
                std::make_unique<RuleType>(RuleType{pCounter, Counter::Markers(pCounter->m_pRule)});
        }
        return pType.get();
    };
    std::vector<Pair> arrPairs;
    arrPairs.reserve(std::max(arrOld.size(), arrNew.size()));
    for (std::size_t i = 0, j = 0; i < arrOld.size() || j < arrNew.size();)
    {
        Pair pair;
        if (j == arrNew.size() || (i < arrOld.size() && arrOld[i].strPath < arrNew[j].strPath))
            pair.pOld = &arrOld[i++];
        else if (i == arrOld.size() || arrNew[j].strPath < arrOld[i].strPath)
            pair.pNew = &arrNew[j++];
        else
        {
            pair.pOld = &arrOld[i++];
            pair.pNew = &arrNew[j++];
        }
        pair.pType = typeOf(pair.pNew ? *pair.pNew : *pair.pOld);
        arrPairs.push_back(std::move(pair));
    }

    // Declared after the pairs, so the workers stop before the pairs go.
    const unsigned nJobs = m_manager.GetJobs();
    CountingWorkers workers(nJobs > 1 ? nJobs : 0, FILES_AHEAD_PER_JOB * nJobs);
    std::vector<std::size_t> arrTickets(arrPairs.size());
    std::size_t nHandedIn = 0;
    // The file ids met in each version, and the path met first under each.
    std::unordered_map<FileId, wxString> oldNames, newNames;
    const auto metBefore = [this](std::unordered_map<FileId, wxString>& names,
                                  const VersionRead& read, const VersionFile& file)
    {
        if (!read.bOtherNames || !read.id.IsKnown())
            return false;
        const auto [it, bNew] = names.emplace(read.id, file.strLocation);
        if (!bNew)
            m_arrSkippedPaths.push_back(
                SkippedPath{SkippedPath::FILE, file.strLocation, it->second});
        return !bNew;
    };

    MessagePump* pPump = m_manager.GetMessagePump();
    for (std::size_t i = 0; i < arrPairs.size(); ++i)
    {
        if (m_manager.m_nState == CountingManager::STATE_STOPPED)
            break;
        if (pPump)
            pPump->HandleOnePendingEvent();
        if (m_manager.m_nState == CountingManager::STATE_STOPPED)
            break;
        for (; nHandedIn < arrPairs.size() && workers.HasRoom(); ++nHandedIn)
        {
            Pair* pPair = &arrPairs[nHandedIn];
            arrTickets[nHandedIn] =
                workers.HandIn([&oldVersion, &newVersion, pPair](std::vector<char>&)
                               { ComparePair(oldVersion, newVersion, *pPair); });
        }
        workers.TakeOut(arrTickets[i]);

        Pair& pair = arrPairs[i];
        // A file met again under another name in one version counts there
        // once, under the name met first, as in a count of that version.
        const bool bDropOld = pair.pOld && metBefore(oldNames, pair.oldRead, *pair.pOld);
        const bool bDropNew = pair.pNew && metBefore(newNames, pair.newRead, *pair.pNew);
        const bool bOld = pair.pOld && !bDropOld;
        const bool bNew = pair.pNew && !bDropNew;
        if (!bOld && !bNew)
            continue;
        auto pFile = std::make_unique<FileChange>();
        if (bDropOld || bDropNew)
        {
            pair.bNotDiffed = false;
            if (bNew)
                LineDiff::AddAll(pair.arrNewKinds, &LineChanges::m_nAdded, *pFile);
            else
                LineDiff::AddAll(pair.arrOldKinds, &LineChanges::m_nRemoved, *pFile);
        }
        else
            static_cast<ChangeResult&>(*pFile) = pair.change;
        LineKinds().swap(pair.arrOldKinds);
        LineKinds().swap(pair.arrNewKinds);

        const VersionFile& file = bNew ? *pair.pNew : *pair.pOld;
        pFile->m_strPath = NativePath::FromBytes(file.strPath);
        const std::size_t nSlash = file.strPath.rfind('/');
        pFile->m_strFolder = nSlash == std::string::npos
                                 ? wxString(".")
                                 : NativePath::FromBytes(file.strPath.substr(0, nSlash));
        pFile->m_strFile = NativePath::FromBytes(
            nSlash == std::string::npos ? file.strPath : file.strPath.substr(nSlash + 1));
        pFile->m_strExt = file.strExt;
        pFile->m_dtModified = bNew ? pair.newRead.dtModified : pair.oldRead.dtModified;
        pFile->m_bUnreadable = (bOld && !pair.oldRead.bRead) || (bNew && !pair.newRead.bRead);
        pFile->m_bNotDiffed = pair.bNotDiffed;
        if (!bOld)
            pFile->m_nStatus = ChangeResult::STATUS_ADDED;
        else if (!bNew)
            pFile->m_nStatus = ChangeResult::STATUS_REMOVED;
        else
            pFile->m_nStatus = pFile->LinesAdded() == 0 && pFile->LinesRemoved() == 0
                                   ? ChangeResult::STATUS_SAME
                                   : ChangeResult::STATUS_MODIFIED;
        pFile->m_arrFiles[pFile->m_nStatus] = 1;
        Estimate(param, *pFile);
        m_total.Add(*pFile);
        m_arrFiles.push_back(std::move(pFile));
        if (m_pObserver)
            m_pObserver->OnComparisonUpdate();
    }
    Summarize();
    if (m_manager.m_nState == CountingManager::STATE_RUNNING)
        m_manager.m_nState = CountingManager::STATE_COMPLETED;
}

void Comparison::Reestimate(const AnalysisParam& param)
{
    for (const auto& pFile : m_arrFiles)
        Estimate(param, *pFile);
    Summarize();
}

void Comparison::Summarize()
{
    std::map<wxString, std::unique_ptr<ChangeGroup>> folders, extensions;
    m_total = ChangeResult();
    const auto addTo = [](std::map<wxString, std::unique_ptr<ChangeGroup>>& groups,
                          const wxString& strName, const FileChange& file)
    {
        std::unique_ptr<ChangeGroup>& pGroup = groups[strName];
        if (!pGroup)
        {
            pGroup = std::make_unique<ChangeGroup>();
            pGroup->m_strName = strName;
        }
        pGroup->Add(file);
    };
    for (const auto& pFile : m_arrFiles)
    {
        addTo(folders, pFile->m_strFolder, *pFile);
        addTo(extensions, pFile->m_strExt, *pFile);
        m_total.Add(*pFile);
    }
    m_arrFolders.clear();
    m_arrExtensions.clear();
    for (auto& entry : folders)
        m_arrFolders.push_back(std::move(entry.second));
    for (auto& entry : extensions)
        m_arrExtensions.push_back(std::move(entry.second));
}

#include "engine/Counter.h"
#include "engine/CountingManager.h"
#include "engine/CountingWorkers.h"
#include "engine/DirectoryLister.h"
#include "engine/MessagePump.h"
#include "engine/NativePath.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"

#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <wx/log.h>

namespace
{
// Files handed to the workers and not yet shown, per worker: enough that a
// worker always has the next file at hand while this thread lists a folder
// or the observers draw, little enough to hold in memory.
constexpr std::size_t FILES_AHEAD_PER_JOB = 128;
// Folders listed ahead of the one being shown.
constexpr std::size_t FOLDERS_AHEAD = 256;

// A rule type's counter and its markers as bytes, taken on this thread, so
// the workers read no text of the rule table.
struct CountingType
{
    Counter* pCounter;
    Counter::Markers markers;
};

// One listed file: its path and extension, and for a file of a selected type
// its counter and the ticket it was handed in with.
struct ListedFile
{
    wxString strPath;
    wxString strExt;
    const CountingType* pType = nullptr; // null: not counted under this path
    std::size_t nTicket = 0;
    wxString strCountedAt; // a link left to the file it names, counted there
    bool bLink = false;
};
using ListedFolder = std::vector<ListedFile>;

} // namespace

unsigned CountingManager::DefaultJobs()
{
    const unsigned nCores = std::thread::hardware_concurrency();
    return nCores > 0 ? nCores : 1;
}

void CountingManager::PumpOneMessage()
{
    if (m_pMessagePump)
        m_pMessagePump->HandleOnePendingEvent();
}

bool CountingManager::GoOnReading()
{
    if (m_pMessagePump)
        m_pMessagePump->HandleEventWhileWaiting();
    return m_nState != STATE_STOPPED;
}

bool CountingManager::PumpBeforeFile()
{
    if (m_nState == STATE_STOPPED)
        return false;
    PumpOneMessage();
    // A Stop handled by that pump ends the run before this file too, so
    // nothing counted after the user pressed Stop ever shows.
    return m_nState != STATE_STOPPED;
}

std::unique_ptr<FileResult> CountingManager::NewFileResult(const wxString& strPath,
                                                           const wxString& strExt) const
{
    auto pFile = std::make_unique<FileResult>();
    // Kept when the file cannot be opened.
    pFile->m_dtModified = m_dtRunStarted.IsValid() ? m_dtRunStarted : wxDateTime::Now();
    pFile->m_strExt = strExt;
    pFile->m_strPath = strPath;
    SplitPath(strPath, pFile->m_strFolder, pFile->m_strFile);
    return pFile;
}

bool CountingManager::IncludeFolder(const wxString& strPath, const FileId& id)
{
    // One that cannot be looked at is new: it lists nothing anyway.
    if (!id.IsKnown())
        return true;
    const auto [it, bNew] = m_visitedFolders.emplace(id, strPath);
    if (!bNew)
        m_arrSkippedPaths.push_back(SkippedPath{SkippedPath::FOLDER, strPath, it->second});
    return bNew;
}

bool CountingManager::IncludeListedFolder(const wxString& strPath)
{
    // A folder deleted or renamed since it was listed would count nothing
    // without a word; the caller tells the user of what is kept here.
    struct stat st;
    SkippedPath::Reason nReason = SkippedPath::ALREADY_INCLUDED;
    if (!NativePath::Stat(strPath, st) || !S_ISDIR(st.st_mode))
        nReason = SkippedPath::MISSING;
    else if (const int nFd = NativePath::Open(strPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC); nFd < 0)
        nReason = SkippedPath::UNREADABLE;
    else
        ::close(nFd);
    if (nReason == SkippedPath::ALREADY_INCLUDED)
        return IncludeFolder(strPath, FileId(st));
    m_arrSkippedPaths.push_back(SkippedPath{SkippedPath::FOLDER, strPath, wxString(), nReason});
    return false;
}

wxString CountingManager::CountedAt(const wxString& strLink) const
{
    char* pReal = ::realpath(NativePath::ToBytes(strLink).c_str(), nullptr);
    if (!pReal)
        return wxString(); // gone, or too deep to resolve: counted as the link
    const wxString strTarget = NativePath::FromBytes(pReal);
    std::free(pReal);
    wxString strFolder, strName, strRuleType;
    SplitPath(strTarget, strFolder, strName);
    // Listed there only when not hidden, and counted only when of a chosen type.
    if (strName.empty() || strName[0] == '.' ||
        !IsSelectedType(GetFileExtension(strTarget).Lower(), strRuleType))
        return wxString();
    const FileId folder = DirectoryLister::IdOf(strFolder.empty() ? wxString("/") : strFolder);
    return m_visitedFolders.count(folder) ? strTarget : wxString();
}

void CountingManager::KeepFileResult(std::unique_ptr<FileResult> pFile, const FileId& id,
                                     bool bOtherNames, const AnalysisParam& analysisParam)
{
    // A file met again under another name (a hard link, or a link to a file
    // outside the run's folders) is counted once: under the name met first.
    // Only such files are looked up: one of a single name that the run lists
    // itself is met once, as the links to it are left to it.
    if (bOtherNames && id.IsKnown())
    {
        const auto [it, bNew] = m_countedFiles.emplace(id, m_arrFileResults.size());
        if (!bNew)
        {
            m_arrSkippedPaths.push_back(SkippedPath{SkippedPath::FILE, pFile->m_strPath,
                                                    m_arrFileResults[it->second]->m_strPath});
            return;
        }
    }
    CalcFileAnalysis(analysisParam, *pFile);
    m_totalResult.Add(*pFile);
    m_arrFileResults.push_back(std::move(pFile));
    if (m_pCountingObserver)
        m_pCountingObserver->OnCountingUpdate();
}

void CountingManager::DoCounting()
{
    // Nothing found on disk may turn into a message box in the middle of a run.
    wxLogNull noLog;

    m_arrSkippedPaths.clear();
    m_visitedFolders.clear();
    m_countedFiles.clear();
    m_dtRunStarted = wxDateTime::Now();
    ExpandSubdirectories();

    if (m_nJobs > 1)
        CountDirectoriesInParallel();
    else
    {
        // Indexing, not iterating: the pump may re-enter the frame, and the
        // list must stay valid whatever a handler does.
        for (size_t i = 0; i < m_countingParam.m_arrDirs.GetCount() && m_nState != STATE_STOPPED;
             ++i)
        {
            PumpOneMessage();
            CountDirectory(m_countingParam.m_arrDirs[i]);
        }
    }

    std::unordered_map<FileId, wxString>().swap(m_visitedFolders);
    std::unordered_map<FileId, std::size_t>().swap(m_countedFiles);
    // Known before the observers hear of the results, so that the report
    // they make says so.
    m_bPartial = m_nState == STATE_STOPPED;
    Summarize();

    if (m_nState == STATE_RUNNING)
        m_nState = STATE_COMPLETED;
}

void CountingManager::CountDirectory(const wxString& strDir)
{
    std::vector<wxString> arrFiles;
    std::vector<bool> arrLinks;
    DirectoryLister::ListFiles(strDir, arrFiles, &arrLinks);

    const AnalysisParam defaultParam;
    const AnalysisParam& analysisParam = m_pAnalysisParam ? *m_pAnalysisParam : defaultParam;

    // Events are handled while a large file is read too, and a Stop among
    // them ends its reading.
    const std::function<bool()> fnGoOn = [this] { return GoOnReading(); };
    wxString strRuleType;
    for (std::size_t i = 0; i < arrFiles.size(); ++i)
    {
        const wxString& strPath = arrFiles[i];
        if (!PumpBeforeFile())
            break;

        const wxString strExt = GetFileExtension(strPath).Lower();
        if (!IsSelectedType(strExt, strRuleType))
            continue;
        if (const wxString strAt = arrLinks[i] ? CountedAt(strPath) : wxString(); !strAt.empty())
        {
            m_arrSkippedPaths.push_back(SkippedPath{SkippedPath::FILE, strPath, strAt});
            continue;
        }

        auto pFile = NewFileResult(strPath, strExt);
        const Counter::FileCounts counts = GetCounter(strRuleType)->CountFile(*pFile, &fnGoOn);
        // A file cut short by Stop, or finished after it, is not shown.
        if (m_nState == STATE_STOPPED)
            break;
        KeepFileResult(std::move(pFile), counts.id, arrLinks[i] || counts.bHardLinked,
                       analysisParam);
    }
}

void CountingManager::CountDirectoriesInParallel()
{
    const AnalysisParam defaultParam;
    const AnalysisParam& analysisParam = m_pAnalysisParam ? *m_pAnalysisParam : defaultParam;
    const wxArrayString& arrDirs = m_countingParam.m_arrDirs;

    // Declared before the workers, so they outlive them.
    std::unordered_map<wxString, std::unique_ptr<CountingType>> types;
    std::deque<ListedFolder> folders; // listed, from the one being shown on
    std::size_t nListed = 0;          // folders of arrDirs listed so far
    // The next file to hand in: a folder of the deque and a file in it.
    std::size_t nHandFolder = 0;
    std::size_t nHandFile = 0;
    CountingWorkers workers(m_nJobs, FILES_AHEAD_PER_JOB * m_nJobs);
    // While this thread waits for a file, or reads one itself, it handles the
    // window's events; a Stop among them ends the wait.
    const std::function<bool()> fnGoOn = [this] { return GoOnReading(); };

    wxString strRuleType;
    const auto listNext = [&]
    {
        std::vector<wxString> arrPaths;
        std::vector<bool> arrLinks;
        DirectoryLister::ListFiles(arrDirs[nListed++], arrPaths, &arrLinks);
        ListedFolder& folder = folders.emplace_back(arrPaths.size());
        for (std::size_t i = 0; i < arrPaths.size(); ++i)
        {
            ListedFile& file = folder[i];
            file.strPath = std::move(arrPaths[i]);
            file.strExt = GetFileExtension(file.strPath).Lower();
            if (!IsSelectedType(file.strExt, strRuleType))
                continue;
            file.bLink = arrLinks[i];
            if (file.bLink && !(file.strCountedAt = CountedAt(file.strPath)).empty())
                continue;
            std::unique_ptr<CountingType>& pType = types[strRuleType];
            if (!pType)
            {
                Counter* pCounter = GetCounter(strRuleType);
                pType = std::make_unique<CountingType>(
                    CountingType{pCounter, Counter::Markers(pCounter->m_pRule)});
            }
            file.pType = pType.get();
        }
    };
    // Keeps the workers supplied: hands in the next files, listing folders
    // ahead as far as needed.
    const auto handIn = [&]
    {
        while (workers.HasRoom())
        {
            if (nHandFolder < folders.size())
            {
                ListedFolder& folder = folders[nHandFolder];
                if (nHandFile == folder.size())
                {
                    ++nHandFolder;
                    nHandFile = 0;
                    continue;
                }
                ListedFile& file = folder[nHandFile++];
                if (!file.pType)
                    continue;
                file.nTicket = workers.HandIn(NativePath::ToBytes(file.strPath),
                                              *file.pType->pCounter, file.pType->markers);
                continue;
            }
            if (nListed == arrDirs.GetCount() || folders.size() >= FOLDERS_AHEAD)
                return;
            listNext();
        }
    };

    // The same walk as on one thread, with the same pumps and checks of the
    // state, in the same places; only the counting happens elsewhere.
    for (std::size_t i = 0; i < arrDirs.GetCount() && m_nState != STATE_STOPPED; ++i)
    {
        PumpOneMessage();
        if (nListed == i)
            listNext();
        ListedFolder& folder = folders.front();
        for (ListedFile& file : folder)
        {
            if (!PumpBeforeFile())
                break;
            handIn();
            if (!file.strCountedAt.empty())
                m_arrSkippedPaths.push_back(
                    SkippedPath{SkippedPath::FILE, file.strPath, file.strCountedAt});
            if (!file.pType)
                continue;

            Counter::FileCounts counts;
            if (!workers.TakeOut(file.nTicket, fnGoOn, counts))
                break; // stopped: this file and the rest are not shown
            auto pFile = NewFileResult(file.strPath, file.strExt);
            counts.ApplyTo(*pFile);
            KeepFileResult(std::move(pFile), counts.id, file.bLink || counts.bHardLinked,
                           analysisParam);
        }
        folders.pop_front();
        if (nHandFolder > 0)
            --nHandFolder;
        else
            nHandFile = 0;
    }
    // After a stop, the files handed in and not shown are dropped with the
    // workers: nothing counted later reaches the results.
}

// The folders to visit: each listed folder once, and with recursion the whole
// tree below them, every folder once whatever paths reach it.
void CountingManager::ExpandSubdirectories()
{
    wxArrayString& arrDirs = m_countingParam.m_arrDirs;
    const wxArrayString arrListed = arrDirs;
    arrDirs.Clear();
    if (!m_countingParam.m_bRecursive)
    {
        for (const wxString& strDir : arrListed)
        {
            if (IncludeListedFolder(strDir))
                arrDirs.Add(strDir);
        }
        return;
    }

    wxArrayString arrFound;
    std::vector<wxString> arrStack;
    std::vector<wxString> arrSubdirs;
    std::vector<FileId> arrIds;

    for (const wxString& strListed : arrListed)
    {
        if (m_nState == STATE_STOPPED)
            break;
        if (!IncludeListedFolder(strListed))
            continue;
        arrDirs.Add(strListed);
        wxString strCurrent = strListed;
        do
        {
            PumpOneMessage();
            arrSubdirs.clear();
            arrIds.clear();
            DirectoryLister::ListSubdirectories(strCurrent, arrSubdirs, &arrIds);
            for (std::size_t i = 0; i < arrSubdirs.size(); ++i)
            {
                if (m_nState == STATE_STOPPED)
                    break;
                PumpOneMessage();
                // Met before: it was walked then, and so was all below it.
                if (!IncludeFolder(arrSubdirs[i], arrIds[i]))
                    continue;
                arrFound.Add(arrSubdirs[i]);
                arrStack.push_back(std::move(arrSubdirs[i]));
            }
            if (arrStack.empty())
                break;
            strCurrent = std::move(arrStack.back());
            arrStack.pop_back();
        } while (m_nState == STATE_RUNNING);
        arrStack.clear();
    }

    // The run visits the chosen folders and everything below them in one
    // sorted order, by character code.
    for (const wxString& strDir : arrFound)
        arrDirs.Add(strDir);
    arrDirs.Sort();
}

void CountingManager::ListCountedFiles(const CountingParam& param,
                                       const std::function<void(ListedPath&&)>& fnFile)
{
    wxLogNull noLog;
    m_countingParam = param;
    m_arrSkippedPaths.clear();
    m_visitedFolders.clear();
    ExpandSubdirectories();

    std::vector<wxString> arrPaths;
    std::vector<bool> arrLinks;
    const wxArrayString& arrDirs = m_countingParam.m_arrDirs;
    for (std::size_t i = 0; i < arrDirs.GetCount() && m_nState != STATE_STOPPED; ++i)
    {
        PumpOneMessage();
        arrPaths.clear();
        arrLinks.clear();
        DirectoryLister::ListFiles(arrDirs[i], arrPaths, &arrLinks);
        for (std::size_t j = 0; j < arrPaths.size(); ++j)
        {
            ListedPath file;
            file.strExt = GetFileExtension(arrPaths[j]).Lower();
            if (!IsSelectedType(file.strExt, file.strRuleType))
                continue;
            if (arrLinks[j])
            {
                if (const wxString strAt = CountedAt(arrPaths[j]); !strAt.empty())
                {
                    m_arrSkippedPaths.push_back(SkippedPath{SkippedPath::FILE, arrPaths[j], strAt});
                    continue;
                }
            }
            file.strPath = std::move(arrPaths[j]);
            file.bLink = arrLinks[j];
            fnFile(std::move(file));
        }
    }
    std::unordered_map<FileId, wxString>().swap(m_visitedFolders);
}

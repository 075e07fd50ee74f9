#include "engine/Counter.h"
#include "engine/CountingManager.h"
#include "engine/DirectoryLister.h"
#include "engine/MessagePump.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"

#include <wx/log.h>

void CountingManager::PumpOneMessage()
{
    if (m_pMessagePump)
        m_pMessagePump->HandleOnePendingEvent();
}

void CountingManager::DoCounting()
{
    // Nothing found on disk may turn into a message box in the middle of a run.
    wxLogNull noLog;

    if (m_countingParam.m_bRecursive)
        ExpandSubdirectories();

    // Indexing, not iterating: the pump may re-enter the frame, and the list
    // must stay valid whatever a handler does.
    for (size_t i = 0; i < m_countingParam.m_arrDirs.GetCount() && m_nState != STATE_STOPPED; ++i)
    {
        PumpOneMessage();
        CountDirectory(m_countingParam.m_arrDirs[i]);
    }

    Summarize();

    if (m_nState == STATE_RUNNING)
        m_nState = STATE_COMPLETED;
}

void CountingManager::CountDirectory(const wxString& strDir)
{
    std::vector<wxString> arrFiles;
    DirectoryLister::ListFiles(strDir, arrFiles);

    const AnalysisParam defaultParam;
    const AnalysisParam& analysisParam = m_pAnalysisParam ? *m_pAnalysisParam : defaultParam;

    wxString strRuleType;
    for (const wxString& strPath : arrFiles)
    {
        if (m_nState == STATE_STOPPED)
            break;
        PumpOneMessage();

        const wxString strExt = GetFileExtension(strPath).Lower();
        if (!IsSelectedType(strExt, strRuleType))
            continue;

        auto pFile = std::make_unique<FileResult>();
        pFile->m_dtModified = wxDateTime::Now(); // kept when the file cannot be opened
        pFile->m_strExt = strExt;
        pFile->m_strPath = strPath;
        SplitPath(strPath, pFile->m_strFolder, pFile->m_strFile);

        GetCounter(strRuleType)->CountFile(*pFile);
        CalcFileAnalysis(analysisParam, *pFile);

        m_totalResult.Add(*pFile);
        m_arrFileResults.push_back(std::move(pFile));
        if (m_pCountingObserver)
            m_pCountingObserver->OnCountingUpdate();
    }
}

void CountingManager::ExpandSubdirectories()
{
    wxArrayString arrFound;
    std::vector<wxString> arrStack;
    std::vector<wxString> arrSubdirs;

    for (size_t i = 0; i < m_countingParam.m_arrDirs.GetCount(); ++i)
    {
        if (m_nState == STATE_STOPPED)
            break;
        wxString strCurrent = m_countingParam.m_arrDirs[i];
        do
        {
            PumpOneMessage();
            arrSubdirs.clear();
            DirectoryLister::ListSubdirectories(strCurrent, arrSubdirs);
            for (wxString& strSub : arrSubdirs)
            {
                if (m_nState == STATE_STOPPED)
                    break;
                PumpOneMessage();
                arrFound.Add(strSub);
                arrStack.push_back(std::move(strSub));
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
        m_countingParam.m_arrDirs.Add(strDir);
    m_countingParam.m_arrDirs.Sort();
}

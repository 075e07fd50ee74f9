#include "TempDir.h"

#include "compare/ChangeSelection.h"
#include "compare/Comparison.h"
#include "compare/FolderVersion.h"
#include "compare/GitVersion.h"
#include "compare/LineDiff.h"
#include "compare/VersionSpec.h"
#include "engine/CountingManager.h"
#include "engine/DateText.h"
#include "engine/LineReader.h"
#include "engine/MessagePump.h"
#include "engine/NativePath.h"
#include "report/AnalysisParam.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace
{
// What a command prints on its standard output.
std::string Output(const std::string& strCommand)
{
    std::string strOut;
    if (std::FILE* pPipe = ::popen(strCommand.c_str(), "r"))
    {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof(buf), pPipe)) > 0;)
            strOut.append(buf, n);
        ::pclose(pPipe);
    }
    return strOut;
}

std::string Git(const std::string& strDir, const std::string& strArgs)
{
    return Output("git -C '" + strDir + "' -c user.name=t -c user.email=t@t " + strArgs +
                  " 2>/dev/null");
}

// Lines of source, and an edit of them that inserts, deletes and changes
// lines in runs, as a developer's edit does.
std::vector<std::string> SourceLines(std::mt19937& random, std::size_t nCount)
{
    static const char* const LINES[] = {
        "int x = 0;", "// note",       "",        "{",       "}", "/* a */ y();", "return x;",
        "  ",         "f(x); // call", "/* open", "close */"};
    std::vector<std::string> arr;
    for (std::size_t i = 0; i < nCount; ++i)
        arr.push_back(LINES[random() % std::size(LINES)] +
                      (random() % 4 ? std::string() : " " + std::to_string(random() % 50)));
    return arr;
}

std::vector<std::string> Edited(std::mt19937& random, std::vector<std::string> arr)
{
    for (int nEdits = 1 + random() % 6; nEdits > 0; --nEdits)
    {
        const std::size_t nAt = arr.empty() ? 0 : random() % arr.size();
        const std::size_t nRun = 1 + random() % 4;
        switch (random() % 3)
        {
        case 0:
        {
            const std::vector<std::string> arrNew = SourceLines(random, nRun);
            arr.insert(arr.begin() + nAt, arrNew.begin(), arrNew.end());
            break;
        }
        case 1:
            arr.erase(arr.begin() + nAt, arr.begin() + std::min(arr.size(), nAt + nRun));
            break;
        default:
            for (std::size_t i = nAt; i < std::min(arr.size(), nAt + nRun); ++i)
                arr[i] += " changed";
        }
    }
    return arr;
}

std::string Joined(const std::vector<std::string>& arr, const char* szEnd = "\n")
{
    std::string str;
    for (const std::string& strLine : arr)
        str += strLine + szEnd;
    return str;
}

// One file's figures as one comparable text.
std::string Figures(const FileChange& file)
{
    std::ostringstream out;
    out << NativePath::ToBytes(file.m_strPath) << " " << ChangeResult::StatusName(file.m_nStatus)
        << " +" << file.LinesAdded() << " -" << file.LinesRemoved();
    for (const LineChanges& kind : file.m_arrKinds)
        out << " " << kind.m_nSame << "/" << kind.m_nModified << "/" << kind.m_nAdded << "/"
            << kind.m_nRemoved;
    return out.str() + (file.m_bUnreadable ? " unreadable" : "");
}

// Presses Stop at the first pump, or once a number of files are shown.
class Stopper : public MessagePump, public ComparisonObserver
{
public:
    Stopper(CountingManager& manager, Comparison& comparison, std::size_t nFiles)
        : m_manager(manager), m_comparison(comparison), m_nFiles(nFiles)
    {
    }
    void HandleOnePendingEvent() override
    {
        if (m_nFiles == 0)
            m_manager.m_nState = CountingManager::STATE_STOPPED;
    }
    void OnComparisonUpdate() override
    {
        if (m_comparison.m_arrFiles.size() == m_nFiles)
            m_manager.m_nState = CountingManager::STATE_STOPPED;
    }
    CountingManager& m_manager;
    Comparison& m_comparison;
    std::size_t m_nFiles;
};

class ComparisonTest : public testing::Test
{
protected:
    ComparisonTest()
    {
        m_manager.SetSaveRulesOnDestroy(false);
        m_manager.m_ruleTable["C"] =
            std::make_unique<CounterRule>("C", "C style", "//", "/*", "*/");
        m_manager.m_ruleTable["PHP"] = std::make_unique<CounterRule>("PHP", "PHP", "", "", "");
        m_manager.m_extensionTable[".c"] = std::make_unique<FileExtension>(".c", "C", "", true);
        m_manager.m_extensionTable[".h"] = std::make_unique<FileExtension>(".h", "C", "", true);
        m_manager.m_extensionTable[".php"] =
            std::make_unique<FileExtension>(".php", "PHP", "", true);
    }

    // Two trees of LF-ended files with every kind of change.
    void WriteTrees()
    {
        std::mt19937 random(24);
        for (int i = 0; i < 24; ++i)
        {
            const std::string strName = (i % 3 ? "src/" : "") + std::to_string(i) + ".c";
            const std::vector<std::string> arrOld = SourceLines(random, 20 + random() % 60);
            m_old.Write(strName, Joined(arrOld));
            m_new.Write(strName, Joined(i % 5 == 4 ? arrOld : Edited(random, arrOld)));
        }
        m_old.Write("gone.c", "int a;\n// b\n\n");
        m_new.Write("new/added.h", "int a;\n/* b */ c;\n");
        m_old.Write("renamed-from.c", "x;\ny;\n");
        m_new.Write("renamed-to.c", "x;\ny;\n");
        m_old.Write("emptied.c", "x;\n// y\n");
        m_new.Write("emptied.c", "");
        m_old.Write("no-final-newline.c", "a;\nb;\nc;");
        m_new.Write("no-final-newline.c", "a;\nB;\nc2;");
        m_old.Write("crlf.c", "a;\r\n// b\r\n\r\nd;\r\n");
        m_new.Write("crlf.c", "a;\r\n// B\r\nnew;\r\n\r\n");
        m_old.Write("page.php", "<p>\n<?php\n// c\n$a = 1;\n?>\n");
        m_new.Write("page.php", "<p>\n<?php\n$a = 2; # c\n?>\n<b>\n");
    }

    void Compare(const wxString& strOld, const wxString& strNew, unsigned nJobs = 2)
    {
        std::unique_ptr<VersionSource> pOld, pNew;
        wxString strError;
        ASSERT_TRUE(VersionSpec::Open(strOld, strNew, wxString(), pOld, pNew, strError))
            << strError;
        m_manager.m_nState = CountingManager::STATE_RUNNING;
        m_manager.SetJobs(nJobs);
        m_comparison.Run(*pOld, *pNew, {}, true, m_param);
    }

    std::vector<std::string> AllFigures() const
    {
        std::vector<std::string> arr;
        for (const auto& pFile : m_comparison.m_arrFiles)
            arr.push_back(Figures(*pFile));
        return arr;
    }

    TempDir m_old, m_new;
    CountingManager m_manager;
    Comparison m_comparison{m_manager};
    AnalysisParam m_param;
};

// A minimal diff has one answer for the lines added and removed: git's.
TEST_F(ComparisonTest, LinesAddedAndRemovedAreGitsMinimalDiffFileByFileAndInTotal)
{
    WriteTrees();
    Compare(m_old.Path(), m_new.Path());
    ASSERT_EQ(m_comparison.m_arrFiles.size(), 32u);
    std::int64_t nAdded = 0, nRemoved = 0;
    for (const auto& pFile : m_comparison.m_arrFiles)
    {
        const std::string strPath = NativePath::ToBytes(pFile->m_strPath);
        const auto side = [&](const TempDir& dir, ChangeResult::Status nAbsent)
        { return pFile->m_nStatus == nAbsent ? std::string("/dev/null") : dir / strPath; };
        std::istringstream numstat(Output("git diff --no-index --numstat --minimal --no-renames " +
                                          side(m_old, ChangeResult::STATUS_ADDED) + " " +
                                          side(m_new, ChangeResult::STATUS_REMOVED)));
        std::int64_t nGitAdded = 0, nGitRemoved = 0;
        numstat >> nGitAdded >> nGitRemoved; // nothing for files without a difference
        EXPECT_EQ(pFile->LinesAdded(), nGitAdded) << strPath;
        EXPECT_EQ(pFile->LinesRemoved(), nGitRemoved) << strPath;
        nAdded += nGitAdded;
        nRemoved += nGitRemoved;
    }
    EXPECT_EQ(m_comparison.m_total.LinesAdded(), nAdded);
    EXPECT_EQ(m_comparison.m_total.LinesRemoved(), nRemoved);

    // The same on one thread, and a change of line ends alone changes no line.
    const std::vector<std::string> arrFigures = AllFigures();
    Compare(m_old.Path(), m_new.Path(), 1);
    EXPECT_EQ(AllFigures(), arrFigures);
    m_new.Write("crlf.c", "a;\n// b\n\nd;");
    Compare(m_old.Path(), m_new.Path());
    for (const auto& pFile : m_comparison.m_arrFiles)
    {
        if (pFile->m_strPath == "crlf.c")
        {
            EXPECT_EQ(Figures(*pFile), "crlf.c same +0 -0 4/0/0/0 2/0/0/0 0/0/0/0 1/0/0/0 1/0/0/0");
        }
        else if (pFile->m_strPath == "page.php")
        {
            EXPECT_EQ(Figures(*pFile),
                      "page.php modified +2 -2 3/1/1/1 2/1/0/1 0/0/0/0 0/1/0/0 0/0/0/0");
        }
    }
}

// Every line of the new version is same, modified or added under the kind a
// count gives it: the comparison classifies as the count does.
TEST_F(ComparisonTest, ATreeWithItselfIsSameAndWithAnEmptyFolderAllAddedAsCounted)
{
    WriteTrees();
    Compare(m_new.Path(), m_new.Path());
    for (const auto& pFile : m_comparison.m_arrFiles)
        EXPECT_EQ(pFile->m_nStatus, ChangeResult::STATUS_SAME) << Figures(*pFile);
    EXPECT_EQ(m_comparison.m_total.LinesAdded() + m_comparison.m_total.LinesRemoved(), 0);

    CountingParam param;
    param.m_arrDirs.Add(NativePath::FromBytes(m_new.Path()));
    m_manager.m_nState = CountingManager::STATE_RUNNING;
    m_manager.SetCountingParam(param, m_param);
    m_manager.DoCounting();
    const TotalResult& counted = m_manager.m_totalResult;
    const ChangeResult& total = m_comparison.m_total;
    EXPECT_EQ(total.m_nFiles, counted.m_nFiles);
    EXPECT_EQ(total.m_arrKinds[ChangeResult::KIND_LINES].m_nSame, counted.m_nLines);
    EXPECT_EQ(total.m_arrKinds[ChangeResult::KIND_CODE].m_nSame, counted.m_nCodeLines);
    EXPECT_EQ(total.m_arrKinds[ChangeResult::KIND_CODE_COMMENT].m_nSame,
              counted.m_nCodeCommentLines);
    EXPECT_EQ(total.m_arrKinds[ChangeResult::KIND_COMMENT].m_nSame, counted.m_nCommentLines);
    EXPECT_EQ(total.m_arrKinds[ChangeResult::KIND_BLANK].m_nSame, counted.m_nBlankLines);

    TempDir empty;
    Compare(empty.Path(), m_new.Path());
    EXPECT_EQ(m_comparison.m_total.m_arrFiles[ChangeResult::STATUS_ADDED], counted.m_nFiles);
    EXPECT_EQ(m_comparison.m_total.m_arrKinds[ChangeResult::KIND_LINES].m_nAdded, counted.m_nLines);
    EXPECT_EQ(m_comparison.m_total.m_arrKinds[ChangeResult::KIND_CODE].m_nAdded,
              counted.m_nCodeLines);
    // The estimates of all code added are the count's estimates.
    EXPECT_DOUBLE_EQ(m_comparison.m_total.m_changed.m_fCost, counted.m_fCost);
    EXPECT_DOUBLE_EQ(m_comparison.m_total.m_changed.m_fManHour, counted.m_fManHour);

    // A given folder that only one version has holds added files; nothing of
    // it was left out.
    std::unique_ptr<VersionSource> pOld, pNew;
    wxString strError;
    ASSERT_TRUE(VersionSpec::Open(empty.Path(), m_new.Path(), wxString(), pOld, pNew, strError));
    m_manager.m_nState = CountingManager::STATE_RUNNING;
    m_comparison.Run(*pOld, *pNew, {"new"}, true, m_param);
    EXPECT_EQ(m_comparison.m_total.m_arrFiles[ChangeResult::STATUS_ADDED], 1);
    EXPECT_TRUE(m_comparison.m_arrSkippedPaths.empty());
}

// Revisions read from the repository give what their checked-out trees give,
// and a working folder pairs with its own place in HEAD.
TEST_F(ComparisonTest, GitRevisionsCompareAsTheirCheckedOutTrees)
{
    WriteTrees();
    Compare(m_old.Path(), m_new.Path());
    const std::vector<std::string> arrFolders = AllFigures();

    TempDir repo;
    const std::string strRepo = repo.Path();
    Output("cp -a '" + m_old.Path() + "/.' '" + strRepo + "' && git init -q '" + strRepo + "'");
    Git(strRepo, "add -A");
    Git(strRepo, "commit -qm old");
    Git(strRepo, "tag v1");
    Output("cd '" + strRepo + "' && git rm -rq . && cp -a '" + m_new.Path() + "/.' .");
    Git(strRepo, "add -A");
    Git(strRepo, "commit -qm new");
    ASSERT_FALSE(Git(strRepo, "rev-parse HEAD~1").empty());

    std::unique_ptr<VersionSource> pOld, pNew;
    wxString strError;
    ASSERT_TRUE(VersionSpec::Open("git:v1", "git:HEAD", NativePath::FromBytes(strRepo), pOld, pNew,
                                  strError))
        << strError;
    m_manager.m_nState = CountingManager::STATE_RUNNING;
    m_comparison.Run(*pOld, *pNew, {}, true, m_param);
    EXPECT_EQ(AllFigures(), arrFolders);
    // A folder given twice, or inside another given one, is compared once.
    m_manager.m_nState = CountingManager::STATE_RUNNING;
    m_comparison.Run(*pOld, *pNew, {"src", "", "src"}, true, m_param);
    EXPECT_EQ(AllFigures(), arrFolders);
    EXPECT_EQ(m_comparison.m_arrSkippedPaths.size(), 4u);

    // The working folder against the revision it came from, from a folder
    // below the top: the working folder's files pair with that folder's, and
    // what git ignores there is left out.
    repo.Write("build/generated.c", "int generated;\n");
    repo.Write(".gitignore", "build/\n");
    Compare("git:v1", NativePath::FromBytes(strRepo));
    EXPECT_EQ(AllFigures(), arrFolders);
    std::vector<wxString> arrTags, arrBranches;
    ASSERT_TRUE(GitVersion::ListNames(NativePath::FromBytes(strRepo + "/src"), arrTags, arrBranches,
                                      strError));
    EXPECT_EQ(arrTags, std::vector<wxString>{"v1"});
    EXPECT_EQ(arrBranches.size(), 1u);
    Output("cd '" + strRepo + "' && git checkout -q v1");
    Compare("git:HEAD", NativePath::FromBytes(strRepo + "/src"));
    ASSERT_FALSE(m_comparison.m_arrFiles.empty());
    for (const auto& pFile : m_comparison.m_arrFiles)
        EXPECT_EQ(pFile->m_nStatus, ChangeResult::STATUS_SAME) << Figures(*pFile);
    EXPECT_EQ(m_comparison.m_arrFiles.front()->m_strFolder, ".");

    // What cannot be opened says so.
    for (const auto& [strOld, strWhere, strMessage] :
         {std::tuple<wxString, std::string, std::string>{"git:no-such-tag", strRepo, "no-such-tag"},
          {"git:HEAD", m_old.Path(), "no git repository"},
          {"git:", strRepo, "needs a revision"}})
    {
        strError.clear();
        EXPECT_FALSE(VersionSpec::Open(strOld, NativePath::FromBytes(strWhere), wxString(), pOld,
                                       pNew, strError));
        EXPECT_NE(strError.utf8_string().find(strMessage), std::string::npos) << strError;
    }
}

// Odd files get a count's care: a name that is not UTF-8 pairs by its bytes,
// a file that cannot be read is an empty version and named, a file of two
// names counts once, and Stop ends the run with nothing after it.
TEST_F(ComparisonTest, OddFilesAreComparedOnceAndNamedAndStopEndsTheRun)
{
    m_old.Write("lat\xE9.c", "a;\nb;\n");
    m_new.Write("lat\xE9.c", "a;\nc;\n");
    m_old.Write("vanished.c", "a;\n// b\n");
    ASSERT_EQ(::symlink((m_new / "nowhere.c").c_str(), (m_new / "vanished.c").c_str()), 0);
    m_new.Write("one.c", "x;\n");
    ASSERT_EQ(::link((m_new / "one.c").c_str(), (m_new / "two.c").c_str()), 0);
    Compare(m_old.Path(), m_new.Path());
    EXPECT_EQ(AllFigures(),
              (std::vector<std::string>{
                  "lat\xE9.c modified +1 -1 1/1/0/0 1/1/0/0 0/0/0/0 0/0/0/0 0/0/0/0",
                  "one.c added +1 -0 0/0/1/0 0/0/1/0 0/0/0/0 0/0/0/0 0/0/0/0",
                  "vanished.c modified +0 -2 0/0/0/2 0/0/0/1 0/0/0/0 0/0/0/1 0/0/0/0 unreadable"}));
    ASSERT_EQ(m_comparison.m_arrSkippedPaths.size(), 1u);
    EXPECT_EQ(NativePath::ToBytes(m_comparison.m_arrSkippedPaths[0].m_strPath), m_new / "two.c");

    for (const std::size_t nStopAt : {0, 2})
    {
        Stopper stop(m_manager, m_comparison, nStopAt);
        m_manager.SetMessagePump(&stop);
        m_comparison.SetObserver(&stop);
        Compare(m_old.Path(), m_new.Path());
        m_manager.SetMessagePump(nullptr);
        m_comparison.SetObserver(nullptr);
        EXPECT_EQ(m_comparison.m_arrFiles.size(), nStopAt);
        EXPECT_EQ(m_comparison.m_total.m_nFiles, static_cast<std::int64_t>(nStopAt));
        EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_STOPPED);
    }
}

// The bytes the diff reads have one LF after each line the counter sees, so
// each line's kind is the kind of the line the diff names.
TEST(LineDiffTest, LinesEndAsTheCounterSplitsThem)
{
    for (const std::string strBytes :
         {"", "a", "a\n", "a\r", "a\r\n", "\r\r\n\n", "a\nb", "a\r\nb\rc\n\r", "\n"})
    {
        std::string strCopy;
        const std::string_view lines = LineDiff::LfLines(strBytes, strCopy);
        std::string strExpected;
        LineReader reader(strBytes);
        for (std::string_view line; reader.Next(line);)
            strExpected += std::string(line) + "\n";
        EXPECT_EQ(std::string(lines), strExpected);
    }
}
// The window compares the checked folders below the folder they all lie in.
TEST(VersionSpecTest, CheckedFoldersSplitIntoTheFolderTheyLieInAndTheirPlaces)
{
    struct Row
    {
        std::vector<const char*> arrDirs;
        const char* szRoot;
        std::vector<std::string> arrFolders;
    };
    const Row rows[] = {
        {{"/src/app"}, "/src/app", {""}},
        {{"/src/app/", "/src/lib"}, "/src", {"app", "lib"}},
        {{"/src/app", "/src/app/ui"}, "/src/app", {"", "ui"}},
        {{"/src/app", "/src/apple"}, "/src", {"app", "apple"}},
        {{"/a/x", "/b/y"}, "/", {"a/x", "b/y"}},
    };
    for (const Row& row : rows)
    {
        wxArrayString arrDirs;
        for (const char* szDir : row.arrDirs)
            arrDirs.Add(szDir);
        wxString strRoot;
        std::vector<std::string> arrFolders;
        VersionSpec::SplitFolders(arrDirs, strRoot, arrFolders);
        EXPECT_EQ(strRoot, row.szRoot) << row.arrDirs[0];
        EXPECT_EQ(arrFolders, row.arrFolders) << row.arrDirs[0];
    }
}

// The filters select a comparison's files as a count's: by full folder name,
// extension and the day the file's own version was last changed.
TEST_F(ComparisonTest, TheFiltersSelectFilesByFolderExtensionAndTheirVersionsDate)
{
    WriteTrees();
    // The removed file dates from its old version.
    const std::string strGone = m_old / "gone.c";
    struct utimbuf times
    {
        0, 86400 * 400
    };
    ASSERT_EQ(::utime(strGone.c_str(), &times), 0);
    Compare(m_old.Path(), m_new.Path());
    const wxString strRoot = NativePath::FromBytes(m_new.Path());

    wxArrayString arrDirs, arrExts, arrDates;
    ChangeSelection::AddFilterValues(m_comparison, strRoot, arrDirs, arrExts, arrDates);
    EXPECT_EQ(std::vector<wxString>(arrDirs.begin(), arrDirs.end()),
              (std::vector<wxString>{strRoot, strRoot + "/new", strRoot + "/src"}));
    EXPECT_EQ(std::vector<wxString>(arrExts.begin(), arrExts.end()),
              (std::vector<wxString>{".c", ".h", ".php"}));
    const wxString strOldDay = DateText(wxDateTime(static_cast<time_t>(86400 * 400)));
    EXPECT_EQ(arrDates.front(), strOldDay);
    EXPECT_EQ(arrDates.size(), 2u) << "today and the removed file's day";

    ChangeSelection selection;
    FilterParam filter;
    selection.Select(m_comparison, strRoot, filter);
    EXPECT_EQ(selection.m_arrFiles.size(), m_comparison.m_arrFiles.size());
    EXPECT_EQ(selection.m_total.LinesAdded(), m_comparison.m_total.LinesAdded());

    // Only the top folder's C files, of every day but the removed file's.
    filter.m_bFilterDirectory = filter.m_bFilterExtension = filter.m_bFilterDate = true;
    filter.m_arrDirectories.Add(strRoot);
    filter.m_arrExtensions.Add(".c");
    filter.m_arrDates.Add(arrDates.back());
    selection.Select(m_comparison, strRoot, filter);
    std::int64_t nLinesAdded = 0;
    std::vector<std::string> arrSelected;
    for (const FileChange* pFile : selection.m_arrFiles)
    {
        arrSelected.push_back(NativePath::ToBytes(pFile->m_strPath));
        nLinesAdded += pFile->LinesAdded();
    }
    EXPECT_EQ(std::count(arrSelected.begin(), arrSelected.end(), "gone.c"), 0);
    EXPECT_EQ(std::count(arrSelected.begin(), arrSelected.end(), "crlf.c"), 1);
    for (const std::string& strPath : arrSelected)
        EXPECT_TRUE(strPath.find('/') == std::string::npos &&
                    strPath.substr(strPath.size() - 2) == ".c")
            << strPath;
    EXPECT_EQ(selection.m_total.LinesAdded(), nLinesAdded);
    ASSERT_EQ(selection.m_arrExtensions.size(), 1u);
    EXPECT_EQ(selection.m_arrExtensions[0]->m_nFiles,
              static_cast<std::int64_t>(arrSelected.size()));
}
} // namespace

#include "TempDir.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "linecast-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_strPath = pattern;
}

namespace
{
// Removes a tree too deep for its paths to be used whole, one folder at a
// time through folder descriptors.
void RemoveDeepTree(const std::string& strRoot)
{
    int nFd = ::open(strRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<std::string> arrNames; // the way down from the root
    // Bounded, in case something there cannot be removed at all.
    for (int nSteps = 0; nFd >= 0 && nSteps < 1000000; ++nSteps)
    {
        std::string strSub;
        if (DIR* pDir = ::fdopendir(::dup(nFd)))
        {
            while (const dirent* pEntry = ::readdir(pDir))
            {
                const std::string strName = pEntry->d_name;
                if (strName == "." || strName == "..")
                    continue;
                if (::unlinkat(nFd, strName.c_str(), 0) != 0)
                    strSub = strName; // a folder: gone into next
            }
            ::closedir(pDir);
        }
        if (!strSub.empty())
        {
            const int nSub = ::openat(nFd, strSub.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (nSub >= 0)
            {
                ::close(nFd);
                nFd = nSub;
                arrNames.push_back(strSub);
                continue;
            }
        }
        if (arrNames.empty())
            break;
        const int nParent = ::openat(nFd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(nFd);
        nFd = nParent;
        if (nFd >= 0)
            ::unlinkat(nFd, arrNames.back().c_str(), AT_REMOVEDIR);
        arrNames.pop_back();
    }
    if (nFd >= 0)
        ::close(nFd);
    ::rmdir(strRoot.c_str());
}
} // namespace

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_strPath, ec);
    if (ec)
        RemoveDeepTree(m_strPath);
}

std::string TempDir::Write(const std::string& strName, const std::string& strBytes) const
{
    const fs::path p = fs::path(m_strPath) / strName;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    return p.string();
}

std::string TempDir::MakeDir(const std::string& strName) const
{
    const fs::path p = fs::path(m_strPath) / strName;
    fs::create_directories(p);
    return p.string();
}

std::string ReadFileBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "linecast-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_strPath = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_strPath, ec);
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

#pragma once

#include <string>

// A fresh folder for one test, removed with everything in it at the end.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Path of a name inside the folder ("a/b.c" is joined as is).
    std::string operator/(const std::string& strName) const { return m_strPath + "/" + strName; }

    // Writes bytes to a file below the folder, creating missing folders.
    std::string Write(const std::string& strName, const std::string& strBytes) const;
    std::string MakeDir(const std::string& strName) const;

private:
    std::string m_strPath;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& strPath);

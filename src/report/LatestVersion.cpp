#include "report/LatestVersion.h"

LatestVersion::LatestVersion(const wxString& strInitial) : m_strLatestVersion(strInitial) {}

bool LatestVersion::Set(const wxString& strVersion)
{
    wxMutexLocker lock(m_mutexVersion);
    if (!lock.IsOk())
        return false;
    m_strLatestVersion = strVersion;
    return true;
}

wxString LatestVersion::Get() const
{
    wxMutexLocker lock(m_mutexVersion);
    return m_strLatestVersion;
}

#include "ScopedConfig.h"

#include "ui/settings/SettingsFile.h"

ScopedConfig::ScopedConfig()
{
    Open();
    m_pPrevious = wxConfigBase::Set(m_pConfig.get());
}

ScopedConfig::~ScopedConfig()
{
    wxConfigBase::Set(m_pPrevious);
}

void ScopedConfig::Open()
{
    m_pConfig = std::make_unique<SettingsFile>(wxString::FromUTF8(m_dir / "Linecast.conf"),
                                               wxCONFIG_USE_LOCAL_FILE);
    m_pConfig->SetRecordDefaults(true);
}

void ScopedConfig::Reopen()
{
    m_pConfig->Flush();
    auto pOld = std::move(m_pConfig);
    Open();
    wxConfigBase::Set(m_pConfig.get());
}

size_t ScopedConfig::EntryCount(const wxString& strGroup)
{
    const wxString strOldPath = m_pConfig->GetPath();
    m_pConfig->SetPath(strGroup);
    const size_t nCount = m_pConfig->GetNumberOfEntries();
    m_pConfig->SetPath(strOldPath);
    return nCount;
}

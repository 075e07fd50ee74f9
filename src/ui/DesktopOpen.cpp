#include "ui/DesktopOpen.h"

#include "engine/NativePath.h"
#include "report/MessagePath.h"

#include <gio/gio.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>

#include <memory>

namespace
{
// The file manager may first have to be started by the bus.
const int SHOW_ITEMS_TIMEOUT_MS = 10000;

wxString MessageOf(const GError* pError)
{
    return pError ? wxString::FromUTF8(pError->message) : wxString();
}

// A path by its real bytes; GIO makes a relative one absolute.
GFile* FileOf(const wxString& strPath)
{
    return g_file_new_for_path(NativePath::ToBytes(strPath).c_str());
}

// One ShowItems call, from asking for the session bus until the file manager
// has answered. It holds the opener's cancellable, so it can tell whether the
// opener has gone in the meantime.
struct ShowItemsCall
{
    ShowItemsCall(const DesktopOpen& open, GCancellable* pCancellable, const wxString& strFile)
        : open(open), pCancellable(G_CANCELLABLE(g_object_ref(pCancellable))),
          pFile(FileOf(strFile))
    {
    }
    ~ShowItemsCall()
    {
        g_object_unref(pFile);
        g_object_unref(pCancellable);
    }
    ShowItemsCall(const ShowItemsCall&) = delete;
    ShowItemsCall& operator=(const ShowItemsCall&) = delete;

    bool OpenerGone() const { return g_cancellable_is_cancelled(pCancellable); }
    void OpenFolder() const
    {
        g_autoptr(GFile) pFolder = g_file_get_parent(pFile);
        g_autofree char* szFolder = g_file_get_path(pFolder ? pFolder : pFile);
        open.Open(NativePath::FromBytes(szFolder ? szFolder : "/"));
    }

    const DesktopOpen& open;
    GCancellable* pCancellable;
    GFile* pFile;
};

void OnShowItemsAnswer(GObject* pBus, GAsyncResult* pResult, gpointer pData)
{
    const std::unique_ptr<ShowItemsCall> pCall(static_cast<ShowItemsCall*>(pData));
    g_autoptr(GVariant) pReply =
        g_dbus_connection_call_finish(G_DBUS_CONNECTION(pBus), pResult, nullptr);
    if (!pReply && !pCall->OpenerGone())
        pCall->OpenFolder();
}

void OnSessionBus(GObject*, GAsyncResult* pResult, gpointer pData)
{
    std::unique_ptr<ShowItemsCall> pCall(static_cast<ShowItemsCall*>(pData));
    g_autoptr(GDBusConnection) pBus = g_bus_get_finish(pResult, nullptr);
    if (pCall->OpenerGone())
        return;
    if (!pBus)
    {
        pCall->OpenFolder();
        return;
    }
    // The window merely asks the bus a favour: it must not end with it.
    g_dbus_connection_set_exit_on_close(pBus, FALSE);
    g_autofree char* szUri = g_file_get_uri(pCall->pFile);
    const char* const arrUris[] = {szUri, nullptr};
    GCancellable* pCancellable = pCall->pCancellable;
    g_dbus_connection_call(pBus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                           "org.freedesktop.FileManager1", "ShowItems",
                           g_variant_new("(^ass)", arrUris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE,
                           SHOW_ITEMS_TIMEOUT_MS, pCancellable, OnShowItemsAnswer, pCall.release());
}
} // namespace

DesktopOpen::DesktopOpen(FailureHandler fnFailed)
    : m_fnFailed(std::move(fnFailed)), m_pCancellable(g_cancellable_new())
{
}

DesktopOpen::~DesktopOpen()
{
    g_cancellable_cancel(m_pCancellable);
    g_object_unref(m_pCancellable);
}

bool DesktopOpen::Open(const wxString& strPath) const
{
    if (strPath.empty())
        return false;
    g_autoptr(GFile) pFile = FileOf(strPath);
    g_autofree char* szUri = g_file_get_uri(pFile);
    return Launch(szUri, strPath);
}

bool DesktopOpen::OpenWebPage(const wxString& strUrl) const
{
    // Without a browser GIO would only say that the operation is not
    // supported.
    g_autofree char* szScheme = g_uri_parse_scheme(strUrl.utf8_str());
    g_autoptr(GAppInfo) pBrowser =
        szScheme ? g_app_info_get_default_for_uri_scheme(szScheme) : nullptr;
    if (!pBrowser)
    {
        m_fnFailed(strUrl, _("No web browser is set up on this desktop."));
        return false;
    }
    return Launch(strUrl.utf8_str(), strUrl);
}

bool DesktopOpen::Launch(const char* szUri, const wxString& strWhat) const
{
    g_autoptr(GError) pError = nullptr;
    if (g_app_info_launch_default_for_uri(szUri, nullptr, &pError))
        return true;
    m_fnFailed(strWhat, MessageOf(pError));
    return false;
}

void DesktopOpen::ShowInFolder(const wxString& strFilePath) const
{
    if (strFilePath.empty())
        return;
    g_bus_get(G_BUS_TYPE_SESSION, m_pCancellable, OnSessionBus,
              new ShowItemsCall(*this, m_pCancellable, strFilePath));
}

DesktopOpen::FailureHandler TellOpenFailure(wxWindow* pParent)
{
    return [pParent](const wxString& strWhat, const wxString& strWhy)
    {
        wxString strMessage =
            wxString::Format(_("Could not open \"%s\"."), PathForMessage(strWhat));
        if (!strWhy.empty())
            strMessage += "\n" + strWhy;
        wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE, pParent);
    };
}

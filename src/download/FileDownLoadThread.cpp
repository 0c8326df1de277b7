#include "FileDownLoadThread.h"

#include "DownloadCheck.h"
#include "util/SystemLibrary.h"

// ---- TDownLoadMonitor -------------------------------------------------------

TDownLoadMonitor* TDownLoadMonitor::Create(TFileDownLoadThread* owner, TComPtr<IBindStatusCallback>& callback) {
    // A COM object owns itself through its reference count: QueryInterface takes
    // the first reference, and the last Release deletes it.
    auto* monitor = new TDownLoadMonitor(owner);
    monitor->QueryInterface(IID_IBindStatusCallback, callback.PutVoid());
    return monitor;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback))
        *object = static_cast<IBindStatusCallback*>(this);
    else if (IsEqualIID(iid, IID_IHttpNegotiate))
        *object = static_cast<IHttpNegotiate*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TDownLoadMonitor::AddRef() {
    return ++FRefCount;
}

ULONG STDMETHODCALLTYPE TDownLoadMonitor::Release() {
    const ULONG count = --FRefCount;
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnStartBinding(DWORD, IBinding*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::GetPriority(LONG*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnLowResource(DWORD) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR) {
    if (FOwner)
        FOwner->UpdateProgress(progress, progressMax, statusCode, std::wstring());
    // The notification during which the terminate request was seen already aborts.
    return FCancel ? E_ABORT : S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnStopBinding(HRESULT, LPCWSTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::GetBindInfo(DWORD*, BINDINFO*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnObjectAvailable(REFIID, IUnknown*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
    if (additionalHeaders)
        *additionalHeaders = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDownLoadMonitor::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR,
                                                       LPWSTR* additionalRequestHeaders) {
    FResponseCode = responseCode;
    if (additionalRequestHeaders)
        *additionalRequestHeaders = nullptr;
    return S_OK;
}

// ---- TFileDownLoadThread ----------------------------------------------------

namespace {

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// urlmon is not imported: it is loaded from the system folder on first use and stays loaded.
decltype(&URLDownloadToFileA) UrlDownloadToFileFunction() {
    static const TSystemLibrary urlmon("urlmon.dll");
    static const auto function = urlmon.Function<decltype(&URLDownloadToFileA)>("URLDownloadToFileA");
    return function;
}

} // namespace

TFileDownLoadThread::TFileDownLoadThread(std::string sourceUrl, std::string destFile, TDownloadProgressEvent onProgress,
                                         TDownloadFinishEvent onFinish, TDownloadFailEvent onFail, bool createSuspended)
    // A worker that lacks a handler waits for an explicit start.
    : TThread(createSuspended || !onProgress || !onFinish || !onFail), FSourceUrl(std::move(sourceUrl)),
      FDestFile(std::move(destFile)), FOnProgress(std::move(onProgress)), FOnFinish(std::move(onFinish)),
      FOnFail(std::move(onFail)) {
    AfterConstruction();
}

TFileDownLoadThread::~TFileDownLoadThread() {
    BeforeDestruction();
}

void TFileDownLoadThread::UpdateProgress(ULONG progress, ULONG progressMax, ULONG, const std::wstring&) {
    FProgress = progress;
    FProgressMax = progressMax;
    Synchronize([this] { DoProgress(); });
    if (Terminated() && FMonitor)
        FMonitor->Cancel();
}

void TFileDownLoadThread::DoProgress() {
    if (FOnProgress)
        FOnProgress(this, FProgress, FProgressMax);
}

void TFileDownLoadThread::Execute() {
    decltype(&URLDownloadToFileA) urlDownloadToFile = nullptr;
    try {
        urlDownloadToFile = UrlDownloadToFileFunction();
    } catch (const ESystemLibraryError& error) {
        // Without the platform's download call the download fails like any other.
        ReportOutcome(HRESULT_FROM_WIN32(error.ErrorCode()), 0);
        return;
    }

    TComPtr<IBindStatusCallback> callback;
    FMonitor = TDownLoadMonitor::Create(this, callback);
    // Whatever way the body ends, the field is cleared before the body's
    // reference goes (callback's destructor, after this guard's).
    struct TMonitorFieldGuard {
        TDownLoadMonitor*& Field;
        ~TMonitorFieldGuard() { Field = nullptr; }
    } guard{FMonitor};

    const HRESULT result = urlDownloadToFile(nullptr, FSourceUrl.c_str(), FDestFile.c_str(), 0, callback.Get());
    ReportOutcome(result, FMonitor->ResponseCode());
}

void TFileDownLoadThread::ReportOutcome(HRESULT result, DWORD responseCode) {
    // The platform call also succeeds for an HTTP error page and for a body cut
    // short; neither is a finished download.
    if (result == S_OK && !IsWholeDownload(responseCode, FileSize(FDestFile), FProgressMax))
        result = INET_E_DOWNLOAD_FAILURE;
    if (result == S_OK) {
        if (FOnFinish)
            FOnFinish(this);
    } else if (FOnFail) {
        FOnFail(this, result);
    }
}

#pragma once
// The download worker: fetches one URL into one file on its own thread with
// URLDownloadToFileA, hands every progress notification to the GUI thread and
// waits for it, and reports the outcome through the finish or fail handler,
// both called on the worker thread.
#include <windows.h>

#include <urlmon.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "Thread.h"

class TFileDownLoadThread;

using TDownloadProgressEvent =
    std::function<void(TFileDownLoadThread* sender, uint32_t progress, uint32_t progressMax)>;
using TDownloadFinishEvent = std::function<void(TFileDownLoadThread* sender)>;
using TDownloadFailEvent = std::function<void(TFileDownLoadThread* sender, HRESULT errorCode)>;

// The bind-status callback of one download. Reference counted: it destroys
// itself when its last reference goes, normally when the worker drops its own
// after the download call has returned. Also answers IHttpNegotiate, to learn
// the response's status code.
class TDownLoadMonitor final : public IBindStatusCallback, public IHttpNegotiate {
public:
    // A new monitor whose only reference is placed in `callback`.
    static TDownLoadMonitor* Create(TFileDownLoadThread* owner, TComPtr<IBindStatusCallback>& callback);

    TDownLoadMonitor(const TDownLoadMonitor&) = delete;
    TDownLoadMonitor& operator=(const TDownLoadMonitor&) = delete;

    void Cancel() noexcept { FCancel = true; }
    // The HTTP status code of the response, 0 until one arrived.
    DWORD ResponseCode() const noexcept { return FResponseCode; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IBindStatusCallback
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                         LPCWSTR statusText) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID iid, IUnknown* object) override;

    // IHttpNegotiate
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                                   LPWSTR* additionalHeaders) override;
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                                         LPWSTR* additionalRequestHeaders) override;

private:
    explicit TDownLoadMonitor(TFileDownLoadThread* owner) : FOwner(owner) {}
    ~TDownLoadMonitor() = default;

    std::atomic<ULONG> FRefCount{0};
    bool FCancel = false;
    TFileDownLoadThread* FOwner; // not owned
    std::atomic<DWORD> FResponseCode{0};
};

class TFileDownLoadThread final : public TThread {
public:
    // Created suspended when createSuspended is set or any handler is unset;
    // otherwise it starts as soon as it is constructed.
    TFileDownLoadThread(std::string sourceUrl, std::string destFile, TDownloadProgressEvent onProgress,
                        TDownloadFinishEvent onFinish, TDownloadFailEvent onFail, bool createSuspended);
    ~TFileDownLoadThread() override;

    // Set or unset (nullptr) the handlers; only while the worker is not
    // calling them, that is before it starts or from its end-of-run handler.
    void SetOnProgress(TDownloadProgressEvent handler) { FOnProgress = std::move(handler); }
    void SetOnFinish(TDownloadFinishEvent handler) { FOnFinish = std::move(handler); }
    void SetOnFail(TDownloadFailEvent handler) { FOnFail = std::move(handler); }

    const std::string& SourceUrl() const noexcept { return FSourceUrl; }
    const std::string& DestFile() const noexcept { return FDestFile; }

    // Called by the monitor on the worker thread for every progress
    // notification: runs DoProgress on the GUI thread, waits for it, and then
    // cancels the download if the terminate request is set.
    void UpdateProgress(ULONG progress, ULONG progressMax, ULONG statusCode, const std::wstring& statusText);

protected:
    void Execute() override;

private:
    void DoProgress();
    void ReportOutcome(HRESULT result, DWORD responseCode);

    std::string FSourceUrl;
    std::string FDestFile;
    uint32_t FProgress = 0;
    uint32_t FProgressMax = 0;
    TDownloadProgressEvent FOnProgress;
    TDownloadFinishEvent FOnFinish;
    TDownloadFailEvent FOnFail;
    TDownLoadMonitor* FMonitor = nullptr; // not owned: the monitor's lifetime follows its count
};

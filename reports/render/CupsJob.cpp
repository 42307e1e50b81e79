#include "reports/render/CupsJob.h"
#include <cups/cups.h>

namespace ql {

namespace {

// The desktop's destinations, freed on leaving the scope.
struct Destinations {
    cups_dest_t* list = nullptr;
    int count = 0;
    Destinations() { count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list); }
    ~Destinations() { cupsFreeDests(count, list); }
    cups_dest_t* find(const QByteArray& name) const {
        return cupsGetDest(name.isEmpty() ? nullptr : name.constData(), nullptr, count, list);
    }
};

QString lastCupsError() { return QString::fromUtf8(cupsLastErrorString()); }

} // namespace

CupsJob::~CupsJob() {
    if (job_ != 0) cancel();
    if (isOpen()) close();
    if (http_) httpClose(http_);
}

QString CupsJob::defaultDestination() {
    const Destinations destinations;
    const cups_dest_t* found = destinations.find({});
    return found ? QString::fromUtf8(found->name) : QString();
}

QStringList CupsJob::destinations() {
    const Destinations all;
    QStringList names;
    for (int i = 0; i < all.count; ++i)
        if (!all.list[i].instance) names << QString::fromUtf8(all.list[i].name);
    names.sort(Qt::CaseInsensitive);
    return names;
}

int CupsJob::defaultCopies(const QString& destination) {
    const Destinations destinations;
    const cups_dest_t* found = destinations.find(destination.toUtf8());
    const char* copies = found ? cupsGetOption("copies", found->num_options, found->options) : nullptr;
    const int n = copies ? QByteArray(copies).toInt() : 0;
    return n > 0 ? n : 1;
}

// The job has a connection of its own: withdrawing it means cutting the
// document off mid-request, which the default connection cannot do.
bool CupsJob::begin(const QString& destination, const QString& title, int copies, const QString& media) {
    destination_ = destination.toUtf8();
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    if (!http_) {
        error_ = lastCupsError();
        return false;
    }
    cups_option_t* options = nullptr;
    int count = cupsAddOption("copies", QByteArray::number(std::max(1, copies)).constData(), 0, &options);
    if (!media.isEmpty()) count = cupsAddOption("media", media.toUtf8().constData(), count, &options);
    job_ = cupsCreateJob(http_, destination_.constData(), title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job_ == 0) {
        error_ = lastCupsError();
        return false;
    }
    if (cupsStartDocument(http_, destination_.constData(), job_, title.toUtf8().constData(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        error_ = lastCupsError();
        cancel();
        return false;
    }
    return open(QIODevice::WriteOnly);
}

qint64 CupsJob::writeData(const char* data, qint64 length) {
    if (withdrawn_) return length; // the end of a withdrawn document goes nowhere
    if (cupsWriteRequestData(http_, data, size_t(length)) != HTTP_STATUS_CONTINUE) {
        error_ = lastCupsError();
        return -1;
    }
    return length;
}

bool CupsJob::finish() {
    if (!isOpen() || withdrawn_) return false;
    close();
    const bool taken = cupsFinishDocument(http_, destination_.constData()) == IPP_STATUS_OK;
    if (!taken) error_ = lastCupsError();
    job_ = 0;
    return taken;
}

// The document is never finished: its connection is dropped mid-request, so
// the scheduler discards what it got, and the job (held until its document is
// complete) is cancelled and purged without a page printed.
void CupsJob::cancel() {
    withdrawn_ = true;
    if (http_) {
        httpClose(http_);
        http_ = nullptr;
    }
    if (job_ != 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, destination_.constData(), job_, 1);
    job_ = 0;
}

} // namespace ql

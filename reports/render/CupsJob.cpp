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
    if (isOpen()) cancel();
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

bool CupsJob::begin(const QString& destination, const QString& title, int copies, const QString& media) {
    destination_ = destination.toUtf8();
    cups_option_t* options = nullptr;
    int count = cupsAddOption("copies", QByteArray::number(std::max(1, copies)).constData(), 0, &options);
    if (!media.isEmpty()) count = cupsAddOption("media", media.toUtf8().constData(), count, &options);
    job_ = cupsCreateJob(CUPS_HTTP_DEFAULT, destination_.constData(), title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job_ == 0) {
        error_ = lastCupsError();
        return false;
    }
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, destination_.constData(), job_, title.toUtf8().constData(),
                          CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE) {
        error_ = lastCupsError();
        cancel();
        return false;
    }
    return open(QIODevice::WriteOnly);
}

qint64 CupsJob::writeData(const char* data, qint64 length) {
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, data, size_t(length)) != HTTP_STATUS_CONTINUE) {
        error_ = lastCupsError();
        return -1;
    }
    return length;
}

bool CupsJob::finish() {
    if (!isOpen()) return false;
    close();
    const bool taken = cupsFinishDocument(CUPS_HTTP_DEFAULT, destination_.constData()) == IPP_STATUS_OK;
    if (!taken) error_ = lastCupsError();
    job_ = 0;
    return taken;
}

void CupsJob::cancel() {
    if (isOpen()) { // the request is ended before the job can be withdrawn
        close();
        cupsFinishDocument(CUPS_HTTP_DEFAULT, destination_.constData());
    }
    if (job_ != 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, destination_.constData(), job_, 0);
    job_ = 0;
}

} // namespace ql

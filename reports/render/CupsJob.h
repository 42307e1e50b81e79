#pragma once
#include <QIODevice>
#include <QString>
#include <QStringList>

typedef struct _http_s http_t;

namespace ql {

// One print job on a CUPS destination, its document written straight into
// the request as it is produced: nothing of it is kept in a file on the way.
class CupsJob : public QIODevice {
public:
    ~CupsJob() override;

    // The destination the desktop prints on by default; empty when there is none.
    static QString defaultDestination();
    // Every destination of the desktop, by name.
    static QStringList destinations();
    // Copies the destination makes by default (1 when it does not say).
    static int defaultCopies(const QString& destination);

    // Creates the job for a PDF document on paper of the `media` name
    // ("Letter", "A4"; empty: the destination's own); false (see errorText())
    // when the scheduler refuses it.
    bool begin(const QString& destination, const QString& title, int copies, const QString& media = {});
    // Ends the document: true when the scheduler has taken the whole job.
    bool finish();
    // Withdraws the job: nothing of it is printed, and what is still written
    // to the device afterwards (the end of the document) is dropped.
    void cancel();
    QString errorText() const { return error_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    QByteArray destination_;
    http_t* http_ = nullptr;
    int job_ = 0;
    bool withdrawn_ = false;
    QString error_;
};

} // namespace ql

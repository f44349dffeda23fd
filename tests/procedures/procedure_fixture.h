// A station with the settings of a typical shop, the tester on COM1 (the simulator or
// a device that answers queries from a table), for calling the test procedures one by
// one.
#pragma once

#include "core/text.h"
#include "procedures/transmitter_core.h"
#include "record/cycle_record.h"
#include "results/result_grid.h"
#include "shell/scripted/scripted_devices.h"
#include "support/station_fixture.h"

#include <QMap>
#include <QStringList>
#include <ostream>

namespace celvio {
// Cells print as their text and colour in failure messages.
inline void PrintTo(const Cell& cell, std::ostream* os)
{
    *os << '"' << cell.Caption.toStdString() << "\" colour " << cell.ForeColor;
}
}  // namespace celvio

namespace celvio::testing {

// Answers every line that holds a query: the answers given for the line (or for its
// last command), in turn, the last one repeated; "0" when none is given. Each answer
// arrives `delayMs` after the line, with CR LF.
class ReplyDevice : public SerialDevice {
public:
    explicit ReplyDevice(std::function<qint64()> now) : now_(std::move(now)) {}

    void On(const QString& line, const QStringList& answers, qint64 delayMs = 30)
    {
        replies_[line] = Reply{answers, 0, delayMs};
    }
    QStringList lines;  // every line received, without its CR LF

    void Write(const QByteArray& data) override;
    qint64 BytesAvailable() override;
    QByteArray ReadAll() override;

private:
    struct Reply {
        QStringList answers;
        int next = 0;
        qint64 delayMs = 30;
    };
    std::function<qint64()> now_;
    QMap<QString, Reply> replies_;
    QByteArray partial_;
    QList<QPair<qint64, QByteArray>> pending_;
};

class ProcedureTest : public StationFixture {
protected:
    ProcedureTest();

    // The tester simulator on COM1, port open.
    std::shared_ptr<sim::Tester> Simulator(const QString& scenario = QString());
    // The answering device on COM1, port open.
    std::shared_ptr<ReplyDevice> Replies();

    // Commands received by the simulator from `first` on (all when empty).
    static QStringList From(const QStringList& lines, const QString& first);

    // A fresh record of the station's cycle, nothing measured, shown on both pages.
    void SetUpPages()
    {
        record = {};
        ResetReadings(record);
        TakeStationFacts(record, app.st);
        SetUpResultPages(app, record);
    }
    // What a procedure returned, stored into the record as the cycle's flow stores it,
    // and the record shown on the pages.
    void Keep(const QList<MeasuredReading>& readings)
    {
        StoreReadings(record, readings);
        TakeStationFacts(record, app.st);
        ShowRecordOnResultPages(app, record);
    }
    void Keep(const TransmitterReadings& tx) { Keep(tx.Readings); }

    CycleRecord record;
};

// A procedure test that runs several cases in turn against the answering device:
// NextCase() gives each one a fresh device record, no verdict and step 1.
class ReplyCaseTest : public ProcedureTest {
protected:
    void NextCase()
    {
        if (!device)
            device = Replies();
        device->lines.clear();
        app.st.Verdict = Verdict::Passed;
        app.st.TxStep = 1;
    }
    std::shared_ptr<ReplyDevice> device;
};

}  // namespace celvio::testing

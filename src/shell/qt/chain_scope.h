// The History window's chain scope, shown when the station has a head office
// (HEADOFFICE.INI): the server's state in plain words (reachable or why not, the last
// push, what is pending) and an IMEI looked up across the whole chain, each test and
// swap with its shop. The server is asked by `celvio-history` as a child process, so
// that neither the window nor the cycle ever waits for the network.
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QWidget>

class QLabel;
class QTableWidget;

namespace celvio {

class ChainScopeView : public QWidget {
public:
    // `program` is celvio-history (empty: beside the program, else on the PATH).
    ChainScopeView(const QString& stationDir, const QString& program, QWidget* parent = nullptr);
    ~ChainScopeView() override;

    // The state from the station's index, then a check of the server in the background.
    void CheckServer();
    // Looks up a whole IMEI (15 digits) across the chain; other texts only say so.
    void Search(const QString& text);

    QLabel* State() const { return state_; }
    QLabel* Outcome() const { return outcome_; }
    QTableWidget* Rows() const { return rows_; }
    // True while a question to the server is under way.
    bool Busy() const { return check_.state() != QProcess::NotRunning || find_.state() != QProcess::NotRunning; }

private:
    void Start(QProcess& process, const QStringList& args);
    void Checked();
    void Found();
    void ShowRows(const QJsonObject& found);
    QString LocalState() const;

    QString stationDir_;
    QString program_;
    QString server_;
    QLabel* state_ = nullptr;
    QLabel* outcome_ = nullptr;
    QTableWidget* rows_ = nullptr;
    QProcess check_;
    QProcess find_;
    QString searched_;
};

}  // namespace celvio

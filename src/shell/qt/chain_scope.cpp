#include "shell/qt/chain_scope.h"

#include "headoffice/headoffice_cli.h"
#include "headoffice/local_acks.h"
#include "headoffice/server_address.h"
#include "history/history_index.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace celvio {

namespace {

constexpr int kConnectS = 5;

enum Column { kDate, kWhat, kImei, kModel, kVerdict, kShop, kCounter, kFile, kColumns };

QString FindProgram(const QString& given)
{
    if (!given.isEmpty())
        return given;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/celvio-history");
    return QFileInfo(beside).isExecutable() ? beside
                                            : QStandardPaths::findExecutable(QStringLiteral("celvio-history"));
}

// The reason of a failed run: its last line, without the program's name.
QString Reason(QProcess& process)
{
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString why = lines.isEmpty() ? process.errorString() : lines.last();
    return why.remove(QStringLiteral("celvio-history: "));
}

}  // namespace

ChainScopeView::ChainScopeView(const QString& stationDir, const QString& program, QWidget* parent)
    : QWidget(parent), stationDir_(stationDir), program_(FindProgram(program))
{
    state_ = new QLabel;
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outcome_ = new QLabel(QStringLiteral("Type a whole IMEI to look it up in every shop of the chain."));
    rows_ = new QTableWidget(0, kColumns);
    rows_->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Test or record"), QStringLiteral("IMEI"),
                                      QStringLiteral("Model"), QStringLiteral("Verdict"), QStringLiteral("Shop"),
                                      QStringLiteral("Counter"), QStringLiteral("File")});
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->verticalHeader()->hide();
    rows_->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(state_);
    layout->addWidget(outcome_);
    layout->addWidget(rows_, 1);
    QObject::connect(&check_, &QProcess::finished, this, [this] { Checked(); });
    QObject::connect(&find_, &QProcess::finished, this, [this] { Found(); });
    QObject::connect(&check_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            state_->setText(LocalState() + QStringLiteral("\nServer not asked: celvio-history cannot be started."));
    });
    ServerAddress server;
    if (ReadHeadOfficeFile(stationDir_, server, nullptr))
        server_ = server.Description;
}

ChainScopeView::~ChainScopeView()
{
    for (QProcess* p : {&check_, &find_}) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(1000);
        }
    }
}

QString ChainScopeView::LocalState() const
{
    ServerAddress server;
    QString why;
    if (!ReadHeadOfficeFile(stationDir_, server, &why))
        return QStringLiteral("Head office: ") + why;
    HistoryIndex index(stationDir_, 500);
    PushState push;
    QString text = QStringLiteral("Head office ") + server.Description + QStringLiteral(": ");
    if (!ReadPushState(index, server.Key(), push, nullptr))
        return text + QStringLiteral("last push not known");
    text += push.LastSuccess.isValid()
                ? QStringLiteral("last push %1").arg(push.LastSuccess.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
                : QStringLiteral("never pushed");
    if (push.Pending >= 0)
        text += QStringLiteral(", %1 files pending").arg(push.Pending);
    if (!push.LastError.isEmpty())
        text += QStringLiteral("; the last attempt failed: ") + push.LastError;
    return text;
}

void ChainScopeView::Start(QProcess& process, const QStringList& args)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    process.start(program_, QStringList{QStringLiteral("--station"), stationDir_, QStringLiteral("--chain"),
                                        QStringLiteral("--timeout"), QString::number(kConnectS)} +
                                args);
}

void ChainScopeView::CheckServer()
{
    state_->setText(LocalState() + QStringLiteral("\nAsking the server ..."));
    Start(check_, {QStringLiteral("status"), QStringLiteral("--check"), QStringLiteral("--no-update")});
}

void ChainScopeView::Checked()
{
    const bool reachable = check_.exitStatus() == QProcess::NormalExit && check_.exitCode() == kHistoryOk;
    state_->setText(LocalState() + (reachable ? QStringLiteral("\nServer reachable.")
                                              : QStringLiteral("\nServer NOT reachable: ") + Reason(check_)));
    state_->setStyleSheet(reachable ? QString() : QStringLiteral("color: #b00000;"));
}

void ChainScopeView::Search(const QString& text)
{
    QString imei = text.trimmed();
    imei.remove(QLatin1Char(' ')).remove(QLatin1Char('/')).remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    static const QRegularExpression whole(QStringLiteral("^[0-9]{15}$"));
    rows_->setRowCount(0);
    if (!whole.match(imei).hasMatch()) {
        outcome_->setText(QStringLiteral("Type a whole IMEI to look it up in every shop of the chain."));
        return;
    }
    searched_ = imei;
    outcome_->setText(QStringLiteral("Looking up ") + imei + QStringLiteral(" in the chain ..."));
    Start(find_, {QStringLiteral("--json"), QStringLiteral("find"), imei});
}

void ChainScopeView::Found()
{
    const int code = find_.exitStatus() == QProcess::NormalExit ? find_.exitCode() : -1;
    if (code != kHistoryOk && code != kHistoryNothingFound) {
        outcome_->setText(QStringLiteral("The chain was not asked: ") + Reason(find_));
        outcome_->setStyleSheet(QStringLiteral("color: #b00000;"));
        return;
    }
    outcome_->setStyleSheet(QString());
    const QJsonObject found = QJsonDocument::fromJson(find_.readAllStandardOutput()).object();
    ShowRows(found);
    const int tests = int(found[QStringLiteral("tests")].toArray().size());
    const int records = int(found[QStringLiteral("records")].toArray().size());
    outcome_->setText(QStringLiteral("%1 in the chain: %2 tests, %3 swap records").arg(searched_).arg(tests).arg(records));
}

void ChainScopeView::ShowRows(const QJsonObject& found)
{
    QList<QStringList> rows;
    for (const QJsonValue& v : found[QStringLiteral("tests")].toArray()) {
        const QJsonObject t = v.toObject();
        const QString kind = t[QStringLiteral("kind")].toString();
        const QString imei = kind == QLatin1String("direct swap")
                                 ? t[QStringLiteral("old_imei")].toString() + QStringLiteral(" -> ") +
                                       t[QStringLiteral("imei")].toString()
                                 : t[QStringLiteral("imei")].toString();
        rows << QStringList{t[QStringLiteral("date")].toString() + QLatin1Char(' ') + t[QStringLiteral("time")].toString(),
                            kind, imei, t[QStringLiteral("model")].toString(), t[QStringLiteral("verdict")].toString(),
                            t[QStringLiteral("shop")].toString(), t[QStringLiteral("counter")].toString(),
                            t[QStringLiteral("file")].toString()};
    }
    for (const QJsonValue& v : found[QStringLiteral("records")].toArray()) {
        const QJsonObject r = v.toObject();
        rows << QStringList{r[QStringLiteral("date")].toString(),
                            r[QStringLiteral("kind")].toString() == QLatin1String("SWAP") ? QStringLiteral("swap record")
                                                                                          : QStringLiteral("IMEI record"),
                            r[QStringLiteral("old_imei")].toString() + QStringLiteral(" -> ") +
                                r[QStringLiteral("new_imei")].toString(),
                            QString(), r[QStringLiteral("result")].toString(), r[QStringLiteral("shop")].toString(),
                            r[QStringLiteral("counter")].toString(),
                            r[QStringLiteral("file")].toString() + QLatin1Char(':') +
                                QString::number(r[QStringLiteral("line")].toInt())};
    }
    rows_->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < kColumns; ++c)
            rows_->setItem(r, c, new QTableWidgetItem(rows[r].value(c)));
    rows_->resizeColumnsToContents();
}

}  // namespace celvio

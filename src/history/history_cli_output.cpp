// The output the commands of celvio-history share: text tables, JSON, the rows of tests.
#include "history/history_cli.h"
#include "history/history_cli_commands.h"
#include "history/history_source.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace celvio {

// A plain text table: columns as wide as their widest cell, two blanks between them.
void PrintHistoryTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows)
{
    QList<qsizetype> widths;
    for (const QString& title : header)
        widths.append(title.size());
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    auto print = [&](const QStringList& cells) {
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i + 1 < cells.size())
                line += cells[i].leftJustified(widths[i]) + QStringLiteral("  ");
            else
                line += cells[i];
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        out << line << '\n';
    };
    print(header);
    for (const QStringList& row : rows)
        print(row);
}

void PrintHistoryJson(QTextStream& out, const QJsonValue& value)
{
    const QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    out << QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
}

QString Shown(const Options& o, const QString& relative)
{
    // The chain's rows name the file in its own station, which is not here.
    return o.root.isEmpty() ? relative : o.root + QLatin1Char('/') + relative;
}

QJsonObject TestJson(const Options& o, const TestRow& row)
{
    QJsonObject json;
    json[QStringLiteral("kind")] = row.Kind;
    json[QStringLiteral("date")] = row.Date;
    json[QStringLiteral("time")] = row.Time;
    json[QStringLiteral("imei")] = row.Imei;
    if (!row.OldImei.isEmpty())
        json[QStringLiteral("old_imei")] = row.OldImei;
    json[QStringLiteral("imsi")] = row.Imsi;
    json[QStringLiteral("model")] = row.Model;
    json[QStringLiteral("system")] = row.System;
    json[QStringLiteral("verdict")] = row.Verdict;
    json[QStringLiteral("failed")] = QJsonArray::fromStringList(row.Failed);
    json[QStringLiteral("fault")] = row.Fault;
    json[QStringLiteral("file")] = Shown(o, row.File);
    if (!row.Shop.isEmpty() || !row.Counter.isEmpty()) {
        json[QStringLiteral("shop")] = row.Shop;
        json[QStringLiteral("counter")] = row.Counter;
    }
    return json;
}

QStringList TestCells(const Options& o, const TestRow& row, bool chain)
{
    const QString imei = row.Kind == QLatin1String("direct swap") ? row.OldImei + QStringLiteral(" -> ") + row.Imei
                                                                  : row.Imei;
    QStringList cells{row.Date,    row.Time, imei, row.Model, row.System, row.Verdict,
                      row.Failed.join(QStringLiteral("; ")), Shown(o, row.File)};
    if (chain)
        cells << row.Shop << row.Counter;
    return cells;
}

// The chain's rows add where they were made.
QStringList TestHeader(bool chain)
{
    static const QStringList kTestHeader{QStringLiteral("DATE"),   QStringLiteral("TIME"),
                                         QStringLiteral("IMEI"),   QStringLiteral("MODEL"),
                                         QStringLiteral("SYSTEM"), QStringLiteral("VERDICT"),
                                         QStringLiteral("FAILED"), QStringLiteral("FILE")};
    return chain ? kTestHeader + QStringList{QStringLiteral("SHOP"), QStringLiteral("COUNTER")} : kTestHeader;
}

int QueryFailed(HistorySource& source, QTextStream& err, const QString& error)
{
    err << "celvio-history: " << error << '\n';
    return source.FailureExit();
}

}  // namespace celvio

// The channels of CELVIO.INI: each configured channel is the start of a search for a
// channel of its band that no real network uses (BADCHAN.DAT) and no other setting of
// this reading took.
#include "core/settings.h"

#include "core/app.h"
#include "core/number_reader.h"
#include "core/settings_table.h"
#include "core/text.h"

#include <algorithm>

namespace celvio {

namespace settings_detail {

namespace {

// True when the zig-zag search of PickChannel, started at `configured`, visits a
// channel of lowest..highest at all (whatever is blocked).
bool SearchReachesBand(int configured, int lowest, int highest)
{
    int channel = configured;
    if (highest == 884 && channel % 2 != 0)
        ++channel;
    if (highest == 809 && channel % 2 == 0)
        ++channel;
    int step = channel <= 124 ? 1 : 2;
    for (int k = 0;; ++k) {
        if (channel >= lowest && channel <= highest)
            return true;
        if (k > highest - lowest)
            return false;
        channel += (k + 1) * step;
        step = -step;
    }
}

}  // namespace

void StoreChannel(App& app, const Setting& s, const QString& line, QList<Rejected>& rejected)
{
    StationState& st = app.st;
    int lowest = 512, highest = 884;
    if (s.band == Band::Low) {
        lowest = st.GsmSystem == 14 ? 128 : 1;
        highest = st.GsmSystem == 14 ? 251 : 124;
    } else if (s.band == Band::Pcs) {
        lowest = 513;
        highest = 809;
    }
    qsizetype consumed = 0;
    qint16 configured = 0;
    const double number = ReadNumber(QStringView(line).mid(12), &consumed);
    QString picked = line;
    if (consumed == 0 || !RoundToInt16(number, configured) || !SearchReachesBand(configured, lowest, highest)) {
        // A channel that is no number or lies out of reach of its band is never sent to
        // the tester: the field's earlier channel of this band, or the band's nearest end,
        // is the start of the search instead.
        TraceSettingFault(app, s.key, QStringLiteral("channel out of range, line ignored: ") + line.mid(12));
        const int earlier = *static_cast<qint16*>(s.field);
        const int start = earlier >= lowest && earlier <= highest
                              ? earlier
                              : std::clamp(consumed == 0 ? lowest : int(configured), lowest, highest);
        picked = s.key + QStringLiteral("  ") + QString::number(start);
        rejected.append({line, QString()});
    }
    const qint16 channel = PickChannel(app, picked, st.BlockedChannels, lowest, highest);
    *static_cast<qint16*>(s.field) = channel;
    if (picked != line)
        rejected.last().used = QString::number(channel);
    // Reserve it, so that no other setting of this reading gets the same channel.
    st.BlockedChannels += QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',');
}

}  // namespace settings_detail

qint16 PickChannel(App& app, const QString& line, const QString& blocked, int lowest, int highest)
{
    qint16 configured = 0;
    RoundToInt16(ReadNumber(QStringView(line).mid(12)), configured);
    int channel = configured;
    if (highest == 884 && channel % 2 != 0)  // the 1800 band uses even channels
        ++channel;
    if (highest == 809 && channel % 2 == 0)  // the 1900 band odd ones
        ++channel;
    // Steps of 2 keep the parity above channel 124; around C the search visits
    // C, C+S, C-S, C+2S, C-2S, ...
    int step = channel <= 124 ? 1 : 2;
    for (int k = 0;;) {
        if (channel >= lowest && channel <= highest &&
            !blocked.contains(QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',')))
            return qint16(channel);
        if (k > highest - lowest)
            break;
        ++k;
        channel += k * step;
        step = -step;
    }
    const QString& nl = kCrLf;
    app.ui.MsgBox(QStringLiteral("No free channel found for : ") + line.left(10) + nl + QStringLiteral("Test of ") +
                      line.left(3) + QStringLiteral(" mobiles not possible.") + nl +
                      QStringLiteral("Start a new scan (clear+search) or check file 'BADCHAN.DAT'"),
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("ALL CHANNELS USED BY REAL NETWORK"));
    return configured;
}

}  // namespace celvio

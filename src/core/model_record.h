// The phone model record: the block of the model database that the last lookup
// selected. One instance for the run, overwritten by every load.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace celvio {

// Bands of the attenuation tables, in the order of the database keys.
enum ModelBand { kBand900, kBand1800, kBand1900, kBand850, kBandE900, kBand450, kBand800, kBandR900, kModelBandCount };

struct ModelRecord {
    QString Name;
    quint16 BandMask = 0;
    // RX and TX path attenuation per band, each for the lower, middle and upper part.
    std::array<std::array<float, 3>, kModelBandCount> Rx{};
    std::array<std::array<float, 3>, kModelBandCount> Tx{};
    QString NormalPic;
    QString SpecialPic;
    QString MaxPic;
    QString UserInstruct;
    QString Position;
    QString Holder;  // kept across loads when a block has no HOLDER line
    QString BrandName;
    bool Audio = false;
    bool NoKeybd = false;
    bool SmsTest = false;
    bool TestEdge = false;
    bool TestGprs = false;

    // What went wrong while this record was found and loaded (no entry, a missing
    // database or block, unreadable values), for the one warning the operator sees.
    QStringList DataWarnings;
};

}  // namespace celvio

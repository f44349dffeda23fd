// The three radio bands the tester can play a base station on.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace sim {

enum class Band { GSM = 0, PCN = 1, PCS = 2 };

inline constexpr std::array<Band, 3> kAllBands{Band::GSM, Band::PCN, Band::PCS};

inline QString bandName(Band b)
{
    switch (b) {
    case Band::GSM: return QStringLiteral("GSM");
    case Band::PCN: return QStringLiteral("PCN");
    case Band::PCS: return QStringLiteral("PCS");
    }
    return {};
}

// "GSM", "PCN" or "PCS" in any letter case; anything else gives nothing.
inline std::optional<Band> parseBand(const QString& text)
{
    const QString t = text.trimmed().toUpper();
    for (Band b : kAllBands)
        if (t == bandName(b))
            return b;
    return std::nullopt;
}

inline int bandIndex(Band b) { return static_cast<int>(b); }

// Bit set of bands, used for the bands a phone supports.
inline unsigned bandBit(Band b) { return 1u << bandIndex(b); }

}  // namespace sim

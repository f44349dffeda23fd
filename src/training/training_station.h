// The training station: a station of its own beside the real one, which training reads
// but never writes. Each start copies the real station's settings, data files and
// pictures into it; what training wrote there before stays.
#pragma once

#include <QString>
#include <QStringList>

namespace celvio {

// The training station of a real station: `environment` ($CELVIO_TRAINING_STATION)
// when set, else TRAINING inside the real station.
QString TrainingStationDirectory(const QString& realStation, const QString& environment);

// True for the files that training takes from the real station: settings (*.INI),
// data files (*.DAT) and pictures (*.BMP, *.JPG, *.PNG, *.GIF), without the head office's
// connection (HEADOFFICE.INI) and the serial ports (PORTS.INI), which training never uses.
bool IsTrainingInput(const QString& fileName);

// Lays out the training station: creates it, copies every input of the real station
// (regular files at its top level, never through a link) through checked temporary
// files, removes a HEADOFFICE.INI so that nothing is pushed, and switches the trace on
// (DEBUGPM.INI). False with the file and the reason in `problem`; the real station is
// only read.
bool PrepareTrainingStation(const QString& realStation, const QString& trainingStation, QString& problem);

}  // namespace celvio

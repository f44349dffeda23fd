// The marking of everything written in training: a line of its own in front of a
// result file's bytes, which the readers of result files pass over.
#pragma once

#include <QByteArray>
#include <QString>

namespace celvio {

struct App;

// The first line of every result file and printed page written in training.
inline constexpr char kTrainingMark[] = "TRAINING - not a test certificate";

// The bytes of a result file as they go to disk: behind the marking line (CR LF) when
// the program runs in training, unchanged otherwise.
QByteArray WithTrainingMark(const App& app, const QByteArray& bytes);

// A result file's bytes without a leading marking line; other bytes unchanged.
QByteArray WithoutTrainingMark(const QByteArray& bytes);

}  // namespace celvio

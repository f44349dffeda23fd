// The coupler file "CPLCONN.INI", read from its bytes.
//
// Checks: the choice read, written back with the program's own writer and read again,
// is the same choice; a file whose first line holds no number gives 0.
#include "fuzz_support.h"

#include "core/files.h"
#include "core/number_reader.h"
#include "cycle/coupler.h"

using namespace celvio;
using celvio::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    App& app = fuzz::FreshApp();
    const QByteArray bytes = fuzz::Bytes(data, size);
    const short choice = CouplerChoiceFromBytes(app, bytes);
    const QStringList lines = SplitTextLines(bytes);
    qsizetype consumed = 0;
    if (!lines.isEmpty())
        ReadNumber(lines.first(), &consumed);
    if (consumed == 0)
        Check(choice == 0, "a first line without a number gives 0", fuzz::Text(data, size));
    const QByteArray written = CouplerFileBytes(choice);
    Check(written.endsWith("\r\n"), "the coupler file ends its line", QString::fromLatin1(written));
    Check(CouplerChoiceFromBytes(app, written) == choice, "the coupler choice written back reads the same",
          QString::number(choice));
    return 0;
}

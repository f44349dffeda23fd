// The service point data "swap.dat", read from its bytes.
//
// Checks: data that is accepted is what the entry screen accepts; written back with
// the program's own writer and read again, it is accepted again with the same fields;
// the Club Zavar number is never taken from the file.
#include "fuzz_support.h"

#include "core/files.h"
#include "core/text.h"
#include "swap/service_data.h"

using namespace celvio;
using celvio::fuzz::Check;

namespace {

ServicePointEntry EntryOf(const StationState& st)
{
    return {st.ServicePointId, st.Company, st.Address, st.Phone, st.TestedBy};
}

bool Same(const ServicePointEntry& a, const ServicePointEntry& b)
{
    return a.ServicePointId == b.ServicePointId && a.Company == b.Company && a.Address == b.Address &&
           a.Phone == b.Phone && a.TestedBy == b.TestedBy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    App& app = fuzz::FreshApp();
    const QString input = fuzz::Text(data, size);
    const bool accepted = ReadServiceBytes(app, fuzz::Bytes(data, size));
    Check(app.st.ClubZavarNumber.isEmpty(), "the Club Zavar number is not read from swap.dat", input);
    if (!accepted)
        return 0;
    const ServicePointEntry entry = EntryOf(app.st);
    Check(ServicePointEntryProblem(entry).isEmpty(), "accepted data is what the entry screen accepts", input);
    const QByteArray written = ToLatin1(ServiceFileLine(app) + QStringLiteral("\r\n"));
    App& again = fuzz::FreshApp();
    Check(ReadServiceBytes(again, written), "swap.dat written back is accepted", QString::fromLatin1(written));
    Check(Same(EntryOf(again.st), entry), "swap.dat written back reads the same fields",
          input + QStringLiteral("\n-> ") + QString::fromLatin1(written));
    return 0;
}

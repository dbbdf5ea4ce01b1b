// The frames of the Access reader child, as a damaged file or a misbehaving
// reader could make them: decoded in two pieces, each frame encoded again
// gives the same bytes, and what the intake keeps holds to its columns.
#include "FuzzSupport.h"

#include "maintenance/core/AccessIntake.h"
#include "maintenance/core/AccessReport.h"

using namespace tv;
using namespace tv::accessstream;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = tvfuzz::bytes(data, size);
    const qsizetype cut = input.isEmpty() ? 0 : static_cast<quint8>(input[0]) % (input.size() + 1);
    Decoder decoder;
    AccessContent content;
    AccessIntake intake(content, {});
    bool refused = false;
    for (const QByteArray &piece : {input.left(cut), input.mid(cut)}) {
        decoder.feed(piece);
        while (const auto frame = decoder.next()) {
            const QByteArray once = encode(*frame);
            Decoder again;
            again.feed(once);
            const auto back = again.next();
            if (!back || again.pending() != 0 || encode(*back) != once)
                std::abort();
            refused = refused || !intake.take(*frame);
        }
    }
    // As the reader's parent does: anything but a clean end is a stop.
    if (refused || decoder.malformed() || decoder.pending() != 0 || !intake.done())
        intake.stopped(QStringLiteral("arrêt"));
    for (const AccessTable &table : content.tables) {
        for (const QVariantList &row : table.rows) {
            if (row.size() != table.columns.size())
                std::abort();
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (!accessvalues::fits(table.columns[c], row[c]))
                    std::abort();
            }
        }
    }
    // Whole only when every table of the program the catalog names is.
    if (accessreport::summarize(content).verdict == accessreport::Verdict::Whole) {
        for (const char *name : {"Labo", "Passage", "Visite", "Produit"}) {
            const AccessTable *table = content.table(QLatin1String(name));
            if (content.catalog.contains(QLatin1String(name), Qt::CaseInsensitive) && (!table || !table->whole()))
                std::abort();
        }
    }
    return 0;
}

#include "catalog/GeographicSummary.h"

#include "catalog/Composition.h"
#include "catalog/Identification.h"
#include "module/Messages.h"
#include "util/NumberText.h"

std::optional<GeographicSummary> SummaryOfGeographic(const SystemChoice& choice)
{
    const OsrHandle srs = ChosenGeographic(choice);
    if (!srs)
        return std::nullopt;
    GeographicSummary summary;
    summary.text = AttrValue(srs.get(), "GEOGCS") + "\r\nDatum: " + AttrValue(srs.get(), "DATUM") +
                   "\r\nSpheroid: " + AttrValue(srs.get(), "SPHEROID");
    summary.code = ExactEpsgCode(srs.get());
    if (!summary.code.empty())
        summary.text += "\r\n" + ShownEpsgCode(summary.code);
    // WGS 84 is met to 2 m only: worth a word to a user who needs better.
    const double accuracy = DatumEnsembleAccuracy(srs.get());
    if (AccuracyWorthTelling(accuracy))
        summary.text += "\r\n" + MessageWith(MessageId::DatumEnsembleAccuracy, FormatGeneral(accuracy, 6));
    return summary;
}

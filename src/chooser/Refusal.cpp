// Why a choice cannot be handed back, in the user's language.
#include "chooser/ProjectionDlg.h"
#include "module/Messages.h"

std::string RefusalText(CompositionProblem problem, const std::string& parameter, const std::string& reason)
{
    switch (problem) {
    case CompositionProblem::None:
        break;
    case CompositionProblem::NoGeographicSystem:
        return MessageText(MessageId::RefusedNoGeographicSystem);
    case CompositionProblem::NoZone:
        return MessageText(MessageId::RefusedNoZone);
    case CompositionProblem::BadUnitFactor:
        return MessageText(MessageId::RefusedBadUnitFactor);
    case CompositionProblem::NotANumber:
        return MessageWith(MessageId::RefusedNotANumber, parameter);
    case CompositionProblem::ScaleFactorZero:
        return MessageWith(MessageId::RefusedScaleFactorZero, parameter);
    case CompositionProblem::ParallelsMeet:
        return MessageWith(MessageId::RefusedParallelsMeet, parameter);
    case CompositionProblem::Unusable:
        // PROJ's own words, where it said some.
        return reason.empty() ? std::string(MessageText(MessageId::RefusedUnusable))
                              : MessageWith(MessageId::RefusedUnusableBecause, reason);
    }
    return std::string();
}

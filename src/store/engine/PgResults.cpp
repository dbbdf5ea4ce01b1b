#include "store/engine/PgResults.h"

namespace tv {

StoreError describeState(const QString &state)
{
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return StoreError(
            QStringLiteral("La base de données est occupée par un autre poste. Réessayez dans un instant."), {},
            StoreError::Cause::Busy);
    if (state == QLatin1String("53100"))
        return StoreError(
            QStringLiteral("Le disque du serveur est plein : la base de données n'a pas pu être modifiée."));
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return StoreError(QStringLiteral("Le serveur refuse cette modification à l'utilisateur de la connexion."));
    return StoreError(QStringLiteral("Erreur de la base de données."));
}

} // namespace tv

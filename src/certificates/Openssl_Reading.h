#pragma once

#include "certificates/Pem_Contents.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <expected>

// The functions of the crypto module, as Crypto_Functions hands them out.
namespace Certificates::Ssl {

Pem_Contents Read_Pem_Text(const QString& Pem, const QString& Password);
std::expected<QString, QString> Der_To_Pem(const QByteArray& Bytes);
bool Chains_To(const QList<Certificate_Info>& Chain, const QList<Certificate_Info>& Roots, QString& Reason);

} // namespace Certificates::Ssl

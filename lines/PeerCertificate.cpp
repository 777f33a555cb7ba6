// SPDX-License-Identifier: GPL-3.0-or-later
#include "PeerCertificate.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <memory>

namespace veldo {

bool certificateNamesHost(const QByteArray &pem, const QString &host)
{
    const std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())), BIO_free);
    if (!bio)
        return false;
    const std::unique_ptr<X509, decltype(&X509_free)> certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr), X509_free);
    if (!certificate)
        return false;
    const QByteArray name = host.toLatin1();
    // An address is matched against address entries only (-2: host is no address).
    const int addressMatch = X509_check_ip_asc(certificate.get(), name.constData(), 0);
    if (addressMatch != -2)
        return addressMatch == 1;
    return X509_check_host(certificate.get(), name.constData(), size_t(name.size()), X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS, nullptr) == 1;
}

} // namespace veldo

// Whether a signed program's Authenticode signature was made over the program as it is: the
// digest that the signature carries (SpcIndirectDataContent) against the digest of the file,
// taken over every byte before the certificate table except the checksum and the certificate
// table's directory entry. Who signed, and whether the certificate chain is trusted, is not
// judged here.
#pragma once

#include <string>

#include "archive/PeImage.h"

class Stream;

struct SignatureCheck {
    enum Outcome { Matches, Failed, NotChecked } Result = NotChecked;
    std::string Algorithm;  // "SHA-256", "SHA-1"
    std::string Reason;     // for Failed and NotChecked
};

// file is the whole program, table its certificate table.
SignatureCheck CheckAuthenticode(Stream& file, const CertificateTable& table);

// "digest matches (SHA-256)", "Failed: ..." or "not checked: ...".
std::string DescribeSignatureCheck(const SignatureCheck& check);

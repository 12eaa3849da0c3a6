// One setup of a product at a time, on this computer: a claim under the product's name that
// lasts as long as the process.
#pragma once

#include <string>

// False when another running setup holds the claim for the same product.
bool ClaimSetup(const std::string& productKey);

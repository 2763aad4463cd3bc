#pragma once

#include "common/problem.h"

#include <QString>

namespace orvelle {

// What the user is told of a problem, in Japanese, with its details in their
// places. User text among the details is put in as it stands.
QString Words(const Problem &problem);

} // namespace orvelle

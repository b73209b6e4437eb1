#include "tests/support/Arriving.h"

#include <algorithm>

qint64 Arriving::readData(char* data, qint64 size) {
    qint64 n = std::min(size, step_);
    if (again_.isEmpty())
        n = std::min(n, start_.size() - given_);
    for (qint64 i = 0; i < n; ++i, ++given_)
        data[i] = given_ < start_.size() ? start_[given_] : again_[(given_ - start_.size()) % again_.size()];
    return n;
}

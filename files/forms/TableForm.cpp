#include "files/forms/TableForm.h"

#include <algorithm>

void FormEntries::Map(std::size_t i) const {
    if (!block)
        block.reset(new std::int64_t[Block]);
    from = i;
    held = std::min(Block, count - std::min(i, count));
    const std::size_t mapped = i < samples ? std::min(held, samples - i) : 0;
    map->Entries(points + i, mapped, block.get());
    bool beyond;
    for (std::size_t k = mapped; k < held; ++k) // the guard point
        block[k] = (*map)(Value(i + k), beyond);
}

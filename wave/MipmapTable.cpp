#include "wave/MipmapTable.h"

#include "files/TableExport.h"
#include "wave/Mipmaps.h"

#include <string>

bool WriteMipmapTable(const TextSink& sink, const std::vector<std::vector<double>>& tables,
                      std::uint32_t frames, int levels, std::uint32_t frameSize, bool halve) {
    std::string comment = "// Band-limited levels of " + std::to_string(frames) +
                          (frames == 1 ? " frame" : " frames") + " of " +
                          std::to_string(frameSize) +
                          " samples: level k keeps the "
                          "harmonics below N / 2^(k+1).\n";
    for (int level = 0; level < levels; ++level)
        comment += "// level " + std::to_string(level) + ": harmonics 0 to " +
                   std::to_string(MipmapCut(frameSize, level) - 1) +
                   (halve ? ", " + std::to_string(frameSize >> level) + " samples" : "") + "\n";
    if (!sink(comment.data(), comment.size()))
        return false;
    TableOptions options;
    options.type = TableType::Float;
    options.includeStdint = false;
    auto write = [&](const std::vector<double>& values, std::uint32_t rows,
                     const std::string& name) {
        std::vector<DataPoint> points(values.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            points[i] = {double(i), values[i]};
        options.name = name;
        options.bankFrames = rows;
        return WriteTable(sink, points.data(), points.size(), options);
    };
    if (!halve) {
        std::vector<double> all;
        for (const auto& t : tables)
            all.insert(all.end(), t.begin(), t.end());
        return write(all, std::uint32_t(tables.size()), "Mipmaps");
    }
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::string name = "Mipmaps" + (frames > 1 ? "_F" + std::to_string(i / levels) : "") +
                                 "_L" + std::to_string(i % levels);
        if ((i && !sink("\n", 1)) || !write(tables[i], 0, name))
            return false;
    }
    return true;
}

#include "mapmake/line_merger.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace mapmake {
namespace {

std::string GroupKey(const FeatureInfo& info) {
    std::string key = std::to_string(info.type) + '\x1f' + std::to_string(info.coarsestCbits);
    key += '\x1f';
    key += info.name;
    key += '\x1f';
    key += info.ref;
    return key;
}

struct Group {
    std::vector<uint32_t> members;
    // Each member under both of its end nodes.
    std::unordered_multimap<int64_t, uint32_t> ends;
};

class Merger {
public:
    explicit Merger(std::vector<LineFeature>& lines) : lines_(lines), used_(lines.size(), false) {
        for (uint32_t i = 0; i < lines_.size(); ++i) {
            Group& group = groups_[GroupKey(lines_[i].info)];
            group.members.push_back(i);
            if (lines_[i].firstNode != lines_[i].lastNode) {
                group.ends.emplace(lines_[i].firstNode, i);
                group.ends.emplace(lines_[i].lastNode, i);
            }
        }
    }

    std::vector<LineFeature> Run() {
        std::vector<LineFeature> merged;
        merged.reserve(lines_.size());
        for (uint32_t i = 0; i < lines_.size(); ++i) {
            if (!used_[i]) {
                merged.push_back(Chain(i));
            }
        }
        return merged;
    }

private:
    // The line that begins with `start`, grown at both ends while an unused piece of its group
    // continues it.
    LineFeature Chain(uint32_t start) {
        used_[start] = true;
        LineFeature out = std::move(lines_[start]);
        if (out.firstNode == out.lastNode) {
            return out;
        }
        const Group& group = groups_.at(GroupKey(out.info));
        // Unpacked once a piece joins it; most lines are whole as read.
        FixedLine line;
        bool grown = false;
        for (int end = 0; end < 2; ++end) {
            while (out.lastNode != out.firstNode) {
                const int64_t node = out.lastNode;
                const auto [from, to] = group.ends.equal_range(node);
                const auto next = std::find_if(
                    from, to, [this](const auto& entry) { return !used_[entry.second]; });
                if (next == to) {
                    break;
                }
                used_[next->second] = true;
                LineFeature& piece = lines_[next->second];
                if (!grown) {
                    line = out.line.Unpack();
                    if (end == 1) {
                        std::reverse(line.begin(), line.end());  // as the first turn left it
                    }
                    grown = true;
                }
                const FixedLine more = piece.line.Unpack();
                if (piece.firstNode == node) {
                    line.insert(line.end(), more.begin() + 1, more.end());
                    out.lastNode = piece.lastNode;
                } else {
                    line.insert(line.end(), more.rbegin() + 1, more.rend());
                    out.lastNode = piece.firstNode;
                }
                GeoBox box = out.box;
                Widen(box, piece.box);
                out.box = FixedBox(box);
                piece.line = PackedLine();
            }
            // Grow the other end the same way; after both turns the line runs as it began.
            std::reverse(line.begin(), line.end());
            std::swap(out.firstNode, out.lastNode);
        }
        if (grown) {
            out.line = PackedLine(line);
        }
        return out;
    }

    std::vector<LineFeature>& lines_;
    std::vector<bool> used_;
    std::unordered_map<std::string, Group> groups_;
};

}  // namespace

void MergeLines(std::vector<LineFeature>& lines) {
    lines = Merger(lines).Run();
}

}  // namespace mapmake

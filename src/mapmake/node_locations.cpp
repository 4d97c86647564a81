#include "mapmake/node_locations.h"

#include <algorithm>

#include "mapmake/varint.h"

namespace mapmake {
namespace {

constexpr uint32_t kPageBytes = 1u << 20;
// A node's steps take at most 10 bytes for the id and 5 for each coordinate.
constexpr uint32_t kMaxNodeBytes = 20;
constexpr uint32_t kMaxBlockBytes = NodeLocations::kBlockNodes * kMaxNodeBytes;

}  // namespace

void NodeLocations::Append(osmium::unsigned_object_id_type id, osmium::Location location) {
    if (size_ % kBlockNodes == 0) {
        if (pages_.empty() || kPageBytes - pageUsed_ < kMaxBlockBytes) {
            pages_.emplace_back(new uint8_t[kPageBytes]);
            pageUsed_ = 0;
        }
        blockFirstIds_.push_back(id);
        blockStarts_.push_back(uint64_t(pages_.size() - 1) * kPageBytes + pageUsed_);
        uint8_t* out = pages_.back().get() + pageUsed_;
        out = PutStep(out, 0, 0, location.x(), location.y());
        pageUsed_ = uint32_t(out - pages_.back().get());
    } else {
        uint8_t* out = pages_.back().get() + pageUsed_;
        out = PutVarint(out, id - last_.first - 1);
        out = PutStep(out, last_.second.x(), last_.second.y(), location.x(), location.y());
        pageUsed_ = uint32_t(out - pages_.back().get());
    }
    last_ = {id, location};
    ++size_;
    cachedBlock_ = SIZE_MAX;
}

void NodeLocations::set(osmium::unsigned_object_id_type id, osmium::Location location) {
    if (unsorted_.empty() && size_ > 0 && id == last_.first) {
        return;  // set twice: the first stays
    }
    if (!unsorted_.empty() || (size_ > 0 && id < last_.first)) {
        unsorted_.emplace_back(id, location);
        return;
    }
    Append(id, location);
}

uint32_t NodeLocations::BlockCount(size_t b) const {
    return b + 1 < blockFirstIds_.size() ? kBlockNodes : uint32_t(size_ - b * kBlockNodes);
}

void NodeLocations::Begin(size_t b) const {
    const uint64_t start = blockStarts_[b];
    const uint8_t* in = pages_[start / kPageBytes].get() + start % kPageBytes;
    int64_t x = 0;
    int64_t y = 0;
    in = GetStep(in, x, y);
    cachedIds_[0] = blockFirstIds_[b];
    cachedLocations_[0] = osmium::Location(int32_t(x), int32_t(y));
    cachedCount_ = 1;
    cachedBlockCount_ = BlockCount(b);
    cachedNext_ = in;
    cachedBlock_ = b;
}

void NodeLocations::DecodeNext() const {
    uint64_t step = 0;
    const uint8_t* in = GetVarint(cachedNext_, step);
    int64_t x = cachedLocations_[cachedCount_ - 1].x();
    int64_t y = cachedLocations_[cachedCount_ - 1].y();
    cachedNext_ = GetStep(in, x, y);
    cachedIds_[cachedCount_] = cachedIds_[cachedCount_ - 1] + step + 1;
    cachedLocations_[cachedCount_] = osmium::Location(int32_t(x), int32_t(y));
    ++cachedCount_;
}

osmium::Location NodeLocations::get_noexcept(osmium::unsigned_object_id_type id) const noexcept {
    // The last block whose first id is at most id.
    const auto after = std::upper_bound(blockFirstIds_.begin(), blockFirstIds_.end(), id);
    if (after == blockFirstIds_.begin()) {
        return Unsorted(id);
    }
    const size_t b = size_t(after - blockFirstIds_.begin()) - 1;
    if (b != cachedBlock_) {
        Begin(b);
    }
    while (cachedIds_[cachedCount_ - 1] < id && cachedCount_ < cachedBlockCount_) {
        DecodeNext();
    }
    const osmium::unsigned_object_id_type* begin = cachedIds_;
    const osmium::unsigned_object_id_type* end = begin + cachedCount_;
    const osmium::unsigned_object_id_type* at = std::lower_bound(begin, end, id);
    if (at == end || *at != id) {
        return Unsorted(id);
    }
    return cachedLocations_[at - begin];
}

// Nodes waiting for sort() are found too, though slowly.
osmium::Location NodeLocations::Unsorted(osmium::unsigned_object_id_type id) const noexcept {
    for (const Node& node : unsorted_) {
        if (node.first == id) {
            return node.second;
        }
    }
    return osmium::Location();
}

osmium::Location NodeLocations::get(osmium::unsigned_object_id_type id) const {
    const osmium::Location location = get_noexcept(id);
    if (!location) {
        throw osmium::not_found(id);
    }
    return location;
}

size_t NodeLocations::used_memory() const {
    return pages_.size() * size_t(kPageBytes) +
           blockFirstIds_.capacity() * sizeof(osmium::unsigned_object_id_type) +
           blockStarts_.capacity() * sizeof(uint64_t) + unsorted_.capacity() * sizeof(Node);
}

// Only for input out of order: the nodes are copied out, sorted and set again. Of nodes set
// twice, the first stays.
void NodeLocations::sort() {
    if (unsorted_.empty()) {
        return;
    }
    std::vector<Node> nodes;
    nodes.reserve(size_ + unsorted_.size());
    for (size_t b = 0; b < blockFirstIds_.size(); ++b) {
        Begin(b);
        while (cachedCount_ < cachedBlockCount_) {
            DecodeNext();
        }
        for (uint32_t i = 0; i < cachedCount_; ++i) {
            nodes.emplace_back(cachedIds_[i], cachedLocations_[i]);
        }
    }
    nodes.insert(nodes.end(), unsorted_.begin(), unsorted_.end());
    clear();
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const Node& a, const Node& b) { return a.first < b.first; });
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (i == 0 || nodes[i].first != nodes[i - 1].first) {
            Append(nodes[i].first, nodes[i].second);
        }
    }
}

void NodeLocations::clear() {
    blockFirstIds_ = std::vector<osmium::unsigned_object_id_type>();
    blockStarts_ = std::vector<uint64_t>();
    pages_.clear();
    pages_.shrink_to_fit();
    unsorted_ = std::vector<Node>();
    pageUsed_ = 0;
    size_ = 0;
    last_ = Node();
    cachedBlock_ = SIZE_MAX;
}

}  // namespace mapmake

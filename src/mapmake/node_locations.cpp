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
        out = PutVarint(out, ZigZag(location.x()));
        out = PutVarint(out, ZigZag(location.y()));
        pageUsed_ = uint32_t(out - pages_.back().get());
    } else {
        uint8_t* out = pages_.back().get() + pageUsed_;
        out = PutVarint(out, id - last_.first - 1);
        out = PutVarint(out, ZigZag(int64_t(location.x()) - last_.second.x()));
        out = PutVarint(out, ZigZag(int64_t(location.y()) - last_.second.y()));
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

void NodeLocations::Decode(size_t b) const {
    const uint64_t start = blockStarts_[b];
    const uint8_t* in = pages_[start / kPageBytes].get() + start % kPageBytes;
    cachedCount_ = b + 1 < blockFirstIds_.size() ? kBlockNodes
                                                 : uint32_t(size_ - b * size_t(kBlockNodes));
    uint64_t value = 0;
    in = GetVarint(in, value);
    int64_t x = UnZigZag(value);
    in = GetVarint(in, value);
    int64_t y = UnZigZag(value);
    osmium::unsigned_object_id_type id = blockFirstIds_[b];
    cachedIds_[0] = id;
    cachedLocations_[0] = osmium::Location(int32_t(x), int32_t(y));
    for (uint32_t i = 1; i < cachedCount_; ++i) {
        in = GetVarint(in, value);
        id += value + 1;
        in = GetVarint(in, value);
        x += UnZigZag(value);
        in = GetVarint(in, value);
        y += UnZigZag(value);
        cachedIds_[i] = id;
        cachedLocations_[i] = osmium::Location(int32_t(x), int32_t(y));
    }
    cachedBlock_ = b;
}

osmium::Location NodeLocations::get_noexcept(osmium::unsigned_object_id_type id) const noexcept {
    // The last block whose first id is at most id.
    const auto after = std::upper_bound(blockFirstIds_.begin(), blockFirstIds_.end(), id);
    if (after == blockFirstIds_.begin()) {
        return Unsorted(id);
    }
    const size_t b = size_t(after - blockFirstIds_.begin()) - 1;
    if (b != cachedBlock_) {
        Decode(b);
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
        Decode(b);
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

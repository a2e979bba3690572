#include "jet/write/index_tree.h"

#include <algorithm>

#include "jet/byte_order.h"
#include "jet/error.h"
#include "jet/format.h"

namespace jet::write {
namespace {

using ByteString = std::vector<std::uint8_t>;
const format::Layout& layout = format::Jet4Layout;

ByteString pointerBytes(std::uint32_t rowPointer)
{
    const std::uint32_t page = format::pointerPage(rowPointer);
    return {std::uint8_t(page >> 16), std::uint8_t(page >> 8), std::uint8_t(page), std::uint8_t(format::pointerRow(rowPointer))};
}

std::uint32_t big32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

void putBig32(ByteString& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace

struct IndexTree::Page {
    std::uint32_t number = 0;
    bool leaf = true;
    ByteString header;                 // the page's first bytes up to its entries
    std::vector<ByteString> entries;   // whole entries, any shared prefix put back

    // An entry as the leaf level orders it: key and row pointer (an upper node's child page dropped).
    ByteString order(const ByteString& entry) const { return leaf ? entry : ByteString(entry.begin(), entry.end() - 4); }
    std::uint32_t child(std::size_t i) const { return big32(entries[i].data() + entries[i].size() - 4); }
    std::uint32_t next() const { return detail::le32(header.data() + layout.indexNextPage); }
    std::uint32_t tail() const { return detail::le32(header.data() + layout.indexTailPage); }
    void setTail(std::uint32_t n) { put32(header.data() + layout.indexTailPage, n); }
    void setNext(std::uint32_t n) { put32(header.data() + layout.indexNextPage, n); }
    void setPrev(std::uint32_t n) { put32(header.data() + layout.indexPrevPage, n); }
    // The bytes every entry shares with the first (Jet stores them once, in the first entry).
    std::size_t sharedPrefix() const
    {
        if (entries.size() < 2)
            return 0;
        std::size_t shortest = entries.front().size();
        for (const auto& e : entries)
            shortest = std::min(shortest, e.size());
        std::size_t prefix = 0;
        while (prefix + 1 < shortest) {
            bool same = true;
            for (const auto& e : entries)
                same &= e[prefix] == entries.front()[prefix];
            if (!same)
                break;
            ++prefix;
        }
        return prefix;
    }
    std::size_t used() const
    {
        const std::size_t prefix = sharedPrefix();
        std::size_t total = 0;
        for (std::size_t i = 0; i < entries.size(); ++i)
            total += entries[i].size() - (i > 0 ? prefix : 0);
        return total;
    }
};

IndexTree::IndexTree(PageStore& store, const TableDef& table, const IndexDef& index)
    : store_(store), root_(index.firstPage), definitionPage_(table.definitionPage), usageMap_(index.usageMap)
{
}

IndexTree::Page IndexTree::load(std::uint32_t number) const
{
    const ByteString bytes = store_.read(number);
    Page page;
    page.number = number;
    if (bytes[0] != std::uint8_t(format::PageType::IndexLeaf) && bytes[0] != std::uint8_t(format::PageType::IndexNode))
        throw Error("索引页 " + std::to_string(number) + " 已损坏");
    page.leaf = bytes[0] == std::uint8_t(format::PageType::IndexLeaf);
    page.header.assign(bytes.begin(), bytes.begin() + layout.indexEntries);
    const std::size_t prefix = detail::le16(bytes.data() + layout.indexPrefixLength);
    std::size_t start = 0;
    for (std::size_t offset = 1; offset < (layout.indexEntries - layout.indexBitmap) * 8; ++offset) {
        if (!(bytes[layout.indexBitmap + offset / 8] & (1u << (offset % 8))))
            continue;
        if (layout.indexEntries + offset > bytes.size())
            throw Error("索引页 " + std::to_string(number) + " 已损坏");
        ByteString entry(bytes.begin() + layout.indexEntries + start, bytes.begin() + layout.indexEntries + offset);
        if (!page.entries.empty() && prefix > 0) {
            if (prefix > page.entries.front().size())
                throw Error("索引页 " + std::to_string(number) + " 已损坏");
            entry.insert(entry.begin(), page.entries.front().begin(), page.entries.front().begin() + prefix);
        }
        page.entries.push_back(std::move(entry));
        start = offset;
    }
    return page;
}

void IndexTree::store(const Page& page)
{
    ByteString bytes(store_.pageSize(), 0);
    std::copy(page.header.begin(), page.header.end(), bytes.begin());
    bytes[0] = std::uint8_t(page.leaf ? format::PageType::IndexLeaf : format::PageType::IndexNode);
    bytes[1] = 0x01;
    put32(&bytes[layout.indexParentPage], definitionPage_);
    if (layout.indexEntries + page.used() > bytes.size())
        throw Error("内部错误：索引页 " + std::to_string(page.number) + " 放不下它的条目");
    const std::size_t prefix = page.sharedPrefix();
    bytes[layout.indexPrefixLength] = std::uint8_t(prefix);
    bytes[layout.indexPrefixLength + 1] = std::uint8_t(prefix >> 8);
    std::fill(bytes.begin() + layout.indexBitmap, bytes.begin() + layout.indexEntries, 0);
    std::size_t used = 0;
    for (std::size_t i = 0; i < page.entries.size(); ++i) {
        const auto& entry = page.entries[i];
        const std::size_t skip = i > 0 ? prefix : 0;
        std::copy(entry.begin() + std::ptrdiff_t(skip), entry.end(), bytes.begin() + layout.indexEntries + used);
        used += entry.size() - skip;
        bytes[layout.indexBitmap + used / 8] |= std::uint8_t(1u << (used % 8));
    }
    const std::size_t free = bytes.size() - layout.indexEntries - used;
    bytes[2] = std::uint8_t(free);
    bytes[3] = std::uint8_t(free >> 8);
    store_.write(page.number, std::move(bytes));
}

// Access's own trees have children no entry names. Of the Jet 4 fixtures only compIndexTestV2000.mdb
// has an index of more than one page (every index of every table, system tables too, was dumped):
// Table1's descending index CD_AGENTE, whose root, page 29, is a node with one entry, naming leaf 32
// (the 510 numbers). Leaf 32's next page is leaf 33, holding the two Null entries (0xff, after every
// key the root names); no entry names 33, only the root's tail-page field does. So a node's last
// child may be its tail page, holding the keys that sort after the node's last entry (the published
// notes on the format describe such a tail as a leaf Jet fills at the end of an index before it names
// it in the node above, and place the field on the last leaf; either form, or a chain with no field,
// is met here). A seek past the last named key goes there; a change first names every such leaf as
// its node's last entry and clears the field (pathForChange), so that splits, removals and the
// refresh of parent keys only meet named children.
std::vector<IndexTree::Page> IndexTree::pathTo(const ByteString& entry) const
{
    std::vector<Page> path{load(root_)};
    while (!path.back().leaf) {
        const Page& node = path.back();
        if (path.size() > 32)
            throw Error("索引树的层数不合理");
        // Past the last named key (or with no entries at all) the entry can only be in the tail.
        if (node.tail() != 0 && node.tail() != node.number &&
            (node.entries.empty() || node.order(node.entries.back()) < entry)) {
            path.push_back(load(node.tail()));
            continue;
        }
        if (node.entries.empty())
            throw Error("索引页 " + std::to_string(node.number) + " 没有条目");
        std::size_t i = 0;
        while (i + 1 < node.entries.size() && node.order(node.entries[i]) < entry)
            ++i;
        path.push_back(load(node.child(i)));
    }
    return path;
}

std::vector<IndexTree::Page> IndexTree::pathForChange(const ByteString& entry)
{
    std::vector<Page> path{load(root_)};
    bool rightmost = true;  // every step so far to the node's last child
    while (!path.back().leaf) {
        Page& node = path.back();
        const bool tailNamed = std::any_of(node.entries.begin(), node.entries.end(), [&](const ByteString& e) {
            return big32(e.data() + e.size() - 4) == node.tail();
        });
        if (node.tail() != 0 && node.tail() != node.number && !tailNamed) {
            // The tail becomes the node's last named child: an entry with its last key, the field
            // cleared. Its keys sort after every named one, so the node stays in order.
            const Page tail = load(node.tail());
            if (!tail.entries.empty()) {
                ByteString named = tail.order(tail.entries.back());
                if (!node.entries.empty() && named <= node.order(node.entries.back()))
                    throw Error("索引树已损坏：第 " + std::to_string(tail.number) + " 页的键不在上层页的键之后");
                putBig32(named, tail.number);
                node.entries.push_back(std::move(named));
                node.setTail(0);
                insertInto(path, path.size() - 1, {});  // stores it (split when full), refreshes the keys above
                return pathForChange(entry);  // a split may have moved entries: seek again from the root
            }
        }
        if (node.entries.empty())
            throw Error("索引页 " + std::to_string(node.number) + " 没有条目");
        std::size_t i = 0;
        while (i + 1 < node.entries.size() && node.order(node.entries[i]) < entry)
            ++i;
        if (path.size() > 32)
            throw Error("索引树的层数不合理");
        rightmost &= i + 1 == node.entries.size();
        path.push_back(load(node.child(i)));
    }
    // Leaves chained after the tree's last named leaf (a tail a leaf's own tail field names, or one no
    // field names) are named in its parent too, for the same reason.
    if (rightmost && path.size() > 1 && path.back().next() != 0 && nameChainedTail(path))
        return pathForChange(entry);
    return path;
}

bool IndexTree::nameChainedTail(std::vector<Page>& path)
{
    Page& last = path.back();
    Page& parent = path[path.size() - 2];
    // One leaf at a time (the caller seeks again after each), so that the parent splits at most once.
    std::uint32_t number = last.next();
    for (int guard = 0; number != 0; ++guard) {
        if (guard > 1 << 20)
            throw Error("索引页链形成循环");
        for (std::size_t i = 0; i < parent.entries.size(); ++i)
            if (parent.child(i) == number)
                throw Error("索引树已损坏：第 " + std::to_string(number) + " 页在最后一个叶页之后");
        const Page page = load(number);
        if (!page.leaf)
            throw Error("索引树已损坏：叶页链中有第 " + std::to_string(number) + " 页");
        if (page.entries.empty()) {  // holds nothing: it may stay unnamed
            number = page.next();
            continue;
        }
        if (!last.entries.empty() && page.order(page.entries.front()) <= last.order(last.entries.back()))
            throw Error("索引树已损坏：第 " + std::to_string(number) + " 页的键不在前一页的键之后");
        if (last.tail() == number) {
            last.setTail(0);
            store(last);
        }
        ByteString named = page.order(page.entries.back());
        putBig32(named, number);
        parent.entries.push_back(std::move(named));
        path.pop_back();
        insertInto(path, path.size() - 1, {});  // stores the parent (split when full), refreshes above
        return true;
    }
    return false;
}

void IndexTree::refreshParentKeys(std::vector<Page>& path, std::size_t level)
{
    for (; level > 0; --level) {
        const Page& child = path[level];
        Page& parent = path[level - 1];
        if (child.entries.empty())
            return;
        std::size_t at = 0;
        while (at < parent.entries.size() && parent.child(at) != child.number)
            ++at;
        if (at == parent.entries.size())
            return;
        ByteString updated = child.order(child.entries.back());
        putBig32(updated, child.number);
        if (parent.entries[at] == updated)
            return;
        parent.entries[at] = std::move(updated);
        if (layout.indexEntries + parent.used() > store_.pageSize()) {
            // Text keys differ in length: a longer last key can overfill the parent, which then splits
            // (and refreshes the keys above it itself).
            insertInto(path, level - 1, {});
            return;
        }
        store(parent);
        if (at + 1 != parent.entries.size())
            return;
    }
}

void IndexTree::insertInto(std::vector<Page>& path, std::size_t level, ByteString entry)
{
    Page& page = path[level];
    if (!entry.empty()) {
        auto at = std::upper_bound(page.entries.begin(), page.entries.end(), page.order(entry),
                                   [&](const ByteString& e, const ByteString& other) { return e < page.order(other); });
        page.entries.insert(at, std::move(entry));
    }
    if (layout.indexEntries + page.used() <= store_.pageSize()) {
        store(page);
        refreshParentKeys(path, level);
        return;
    }
    // Split where the bytes, not the entries, are halved: text entries differ in length.
    std::size_t total = 0;
    for (const auto& e : page.entries)
        total += e.size();
    std::size_t half = 0;
    for (std::size_t sum = 0; half + 1 < page.entries.size() && (half == 0 || sum + page.entries[half].size() / 2 < total / 2);
         ++half)
        sum += page.entries[half].size();
    auto lastOf = [](const Page& p) {
        ByteString e = p.order(p.entries.back());
        putBig32(e, p.number);
        return e;
    };
    if (level == 0) {
        // The root keeps its page number (the table definition names it): its entries move to two new
        // pages and it becomes the node above them.
        Page left = page, right = page;
        left.entries.assign(page.entries.begin(), page.entries.begin() + std::ptrdiff_t(half));
        right.entries.assign(page.entries.begin() + std::ptrdiff_t(half), page.entries.end());
        left.number = store_.allocate(ByteString(store_.pageSize(), 0));
        right.number = store_.allocate(ByteString(store_.pageSize(), 0));
        left.setPrev(0);
        left.setNext(right.number);
        right.setPrev(left.number);
        right.setNext(0);
        store(left);
        store(right);
        addToUsageMap(store_, usageMap_, left.number);
        addToUsageMap(store_, usageMap_, right.number);
        page.leaf = false;
        page.setPrev(0);
        page.setNext(0);
        page.entries = {lastOf(left), lastOf(right)};
        store(page);
        return;
    }
    Page right = page;
    right.entries.assign(page.entries.begin() + std::ptrdiff_t(half), page.entries.end());
    page.entries.resize(half);
    right.number = store_.allocate(ByteString(store_.pageSize(), 0));
    addToUsageMap(store_, usageMap_, right.number);
    const std::uint32_t oldNext = page.next();
    right.setPrev(page.number);
    right.setNext(oldNext);
    page.setNext(right.number);
    if (oldNext != 0) {
        Page after = load(oldNext);
        after.setPrev(right.number);
        store(after);
    }
    store(page);
    store(right);
    Page& parent = path[level - 1];
    std::size_t at = 0;
    while (at < parent.entries.size() && parent.child(at) != page.number)
        ++at;
    if (at == parent.entries.size())
        throw Error("索引树已损坏：上层页不指向第 " + std::to_string(page.number) + " 页");
    parent.entries[at] = lastOf(page);
    parent.entries.insert(parent.entries.begin() + std::ptrdiff_t(at) + 1, lastOf(right));
    insertInto(path, level - 1, {});
}

void IndexTree::insert(const ByteString& key, std::uint32_t rowPointer)
{
    ByteString entry = key;
    const ByteString pointer = pointerBytes(rowPointer);
    entry.insert(entry.end(), pointer.begin(), pointer.end());
    auto path = pathForChange(entry);
    insertInto(path, path.size() - 1, std::move(entry));
}

void IndexTree::remove(const ByteString& key, std::uint32_t rowPointer)
{
    ByteString entry = key;
    const ByteString pointer = pointerBytes(rowPointer);
    entry.insert(entry.end(), pointer.begin(), pointer.end());
    auto path = pathForChange(entry);
    Page& leaf = path.back();
    auto at = std::find(leaf.entries.begin(), leaf.entries.end(), entry);
    if (at == leaf.entries.end())
        throw Error("索引与表不一致：找不到要删除的行的索引条目");
    leaf.entries.erase(at);
    // An emptied page leaves its level; an emptied root stays as an empty leaf.
    for (std::size_t level = path.size() - 1;; --level) {
        Page& page = path[level];
        if (!page.entries.empty() || level == 0) {
            if (page.entries.empty())
                page.leaf = true;
            store(page);
            refreshParentKeys(path, level);
            return;
        }
        const std::uint32_t prev = detail::le32(page.header.data() + layout.indexPrevPage);
        const std::uint32_t next = page.next();
        if (prev != 0) {
            Page before = load(prev);
            before.setNext(next);
            store(before);
        }
        if (next != 0) {
            Page after = load(next);
            after.setPrev(prev);
            store(after);
        }
        Page& parent = path[level - 1];
        for (std::size_t i = 0; i < parent.entries.size(); ++i)
            if (parent.child(i) == page.number) {
                parent.entries.erase(parent.entries.begin() + std::ptrdiff_t(i));
                break;
            }
    }
}

void IndexTree::removeRow(std::uint32_t rowPointer)
{
    const ByteString pointer = pointerBytes(rowPointer);
    std::optional<ByteString> found;
    for (const ByteString& entry : entries()) {
        if (entry.size() < 4 || !std::equal(pointer.begin(), pointer.end(), entry.end() - 4))
            continue;
        if (found)
            throw Error("索引与表不一致：同一行在一个索引中有两个条目");
        found = entry;
    }
    if (!found)
        throw Error("索引与表不一致：找不到要删除的行的索引条目");
    remove(ByteString(found->begin(), found->end() - 4), rowPointer);
}

std::vector<std::uint32_t> IndexTree::rowsWithKey(const ByteString& key) const
{
    std::vector<std::uint32_t> rows;
    auto path = pathTo(key);
    Page page = std::move(path.back());
    // Entries holding the key are together in key order; the leaf chain is followed past the page the
    // seek ends on because Access may add tail leaves that no upper node names yet.
    for (int guard = 0; guard < 1 << 24; ++guard) {
        for (const ByteString& entry : page.entries) {
            if (entry < key)
                continue;
            if (entry.size() < key.size() || !std::equal(key.begin(), key.end(), entry.begin()))
                return rows;
            if (entry.size() == key.size() + 4) {
                const std::uint8_t* p = entry.data() + key.size();
                rows.push_back(format::makePointer(std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2], p[3]));
            }
        }
        if (page.next() == 0)
            return rows;
        page = load(page.next());
    }
    throw Error("索引页链形成循环");
}

std::vector<ByteString> IndexTree::entries() const
{
    std::vector<ByteString> all;
    Page page = load(root_);
    for (int depth = 0; !page.leaf; ++depth) {
        if (depth > 32)
            throw Error("索引树的层数不合理");
        if (!page.entries.empty())
            page = load(page.child(0));
        else if (page.tail() != 0 && page.tail() != page.number)
            page = load(page.tail());
        else
            return all;
    }
    for (int guard = 0; guard < 1 << 24; ++guard) {
        all.insert(all.end(), page.entries.begin(), page.entries.end());
        if (page.next() == 0)
            return all;
        page = load(page.next());
    }
    throw Error("索引页链形成循环");
}

}  // namespace jet::write

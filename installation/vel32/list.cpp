// Ordered lists of item pointers and their caller-owned iterators. The list
// never copies, interprets or releases its items.
//
// The iterator is one pointer-sized word, so the list is a chain of nodes and
// the iterator points at the node that comes next. An index of the nodes
// keeps ListFindIth constant-time.
#include "vel32.h"

#include <memory>
#include <new>
#include <vector>

namespace {

struct ListNode {
    void *Item;
    ListNode *Next;
};

} // namespace

struct KxListRec {
    std::vector<std::unique_ptr<ListNode>> Nodes;
};

extern "C" {

ListHandle WINAPI ListCreate(KxStatus *status)
{
    auto *list = new (std::nothrow) KxListRec;
    *status = list ? 0 : 1;
    return list;
}

void WINAPI ListAddBack(ListHandle list, void *item, KxStatus *status)
{
    if (!list) {
        *status = 1;
        return;
    }
    try {
        auto node = std::make_unique<ListNode>(ListNode{item, nullptr});
        ListNode *raw = node.get();
        list->Nodes.push_back(std::move(node));
        if (list->Nodes.size() > 1)
            list->Nodes[list->Nodes.size() - 2]->Next = raw;
        *status = 0;
    } catch (const std::bad_alloc &) {
        *status = 1;
    }
}

void *WINAPI ListFindIth(ListHandle list, int32_t position, KxStatus *status)
{
    if (!list || position < 0 || static_cast<size_t>(position) >= list->Nodes.size()) {
        *status = 1;
        return nullptr;
    }
    *status = 0;
    return list->Nodes[static_cast<size_t>(position)]->Item;
}

void WINAPI ListIteratorInit(ListIterator *iterator, ListHandle list)
{
    iterator->Position = (list && !list->Nodes.empty()) ? list->Nodes.front().get() : nullptr;
}

int16_t WINAPI ListIteratorNext(ListIterator *iterator, void **item)
{
    auto *node = static_cast<ListNode *>(iterator->Position);
    if (!node) {
        *item = nullptr;
        return 0;
    }
    *item = node->Item;
    iterator->Position = node->Next;
    return 1;
}

void WINAPI ListFree(ListHandle list)
{
    delete list;
}

} // extern "C"

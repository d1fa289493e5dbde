// The class table: registration, lookup and the cursor over the chained table.
#include "core/class_table.h"

VelClassTable::VelClassTable()
    : table_(nextPrime(99)), cursorState_(CursorState::none), cursorNode_(nullptr), cursorValue_(nullptr) {}

VelClassTable::~VelClassTable() {
  table_.drain([](Node* node) { delete node; });
}

void VelClassTable::registerFactory(const VelID& classId, VelItemFactory* factory) {
  if (!factory) return;
  if (Node* existing = table_.find(classId.hash(), [&](const Node& n) { return n.key == classId; })) {
    existing->value = factory;
    return;
  }
  table_.link(new Node{{}, 0, classId, factory, nullptr, classId.hash()});
}

VelItemFactory* VelClassTable::find(const VelID& classId) const {
  Node* node = table_.find(classId.hash(), [&](const Node& n) { return n.key == classId; });
  return node ? node->value : nullptr;
}

bool VelClassTable::settleCursor(Node* node, VelID& out) {
  cursorNode_ = node;
  if (!node) {
    cursorState_ = CursorState::end;
    cursorValue_ = nullptr;
    return false;
  }
  cursorState_ = CursorState::on;
  cursorKey_ = node->key;
  cursorValue_ = node->value;
  out = node->key;
  return true;
}

bool VelClassTable::first(VelID& out) { return settleCursor(table_.firstFrom(0), out); }

bool VelClassTable::next(VelID& out) {
  // No cursor yet, or already past the end: nothing more to give.
  if (cursorState_ != CursorState::on || !cursorNode_) return false;
  Node* current = cursorNode_;
  return settleCursor(current->next ? current->next : table_.firstFrom(current->bucket + 1), out);
}

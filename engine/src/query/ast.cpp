#include "query/ast.h"

namespace dizode::query {
namespace {

void SetSpan(Node& node, int begin, int end) {
  node.offset = begin;
  node.length = end - begin;
}

int End(const Node& node) { return node.offset + node.length; }

Node MakeList(NodeKind kind, std::vector<Node> children, bool flatten) {
  Node node;
  node.kind = kind;
  for (Node& child : children) {
    if (child.kind == NodeKind::kEmpty) {
      continue;
    }
    if (flatten && child.kind == kind) {
      for (Node& grandchild : child.children) {
        node.children.push_back(std::move(grandchild));
      }
    } else {
      node.children.push_back(std::move(child));
    }
  }
  if (node.children.empty()) {
    return Node{};
  }
  if (node.children.size() == 1) {
    return std::move(node.children.front());
  }
  SetSpan(node, node.children.front().offset, End(node.children.back()));
  return node;
}

}  // namespace

Node MakeAnd(std::vector<Node> children) {
  return MakeList(NodeKind::kAnd, std::move(children), true);
}

Node MakeOr(std::vector<Node> children) {
  return MakeList(NodeKind::kOr, std::move(children), true);
}

Node MakeNot(Node child, int offset) {
  if (child.kind == NodeKind::kEmpty) {
    return child;
  }
  if (child.kind == NodeKind::kNot) {
    return std::move(child.children.front());
  }
  Node node;
  node.kind = NodeKind::kNot;
  SetSpan(node, offset, End(child));
  node.children.push_back(std::move(child));
  return node;
}

Node MakeNear(std::vector<Node> children, int distance) {
  Node node = MakeList(NodeKind::kNear, std::move(children), false);
  if (node.kind == NodeKind::kNear) {
    node.distance = distance;
  }
  return node;
}

Node MakeField(Node child, unsigned fields, int offset) {
  Node node;
  node.kind = NodeKind::kField;
  node.fields = fields;
  SetSpan(node, offset, End(child));
  node.children.push_back(std::move(child));
  return node;
}

}  // namespace dizode::query

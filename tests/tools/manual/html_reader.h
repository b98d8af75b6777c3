// A strict reader of the manual's HTML into a tree: every element closed (but the void ones),
// every character reference known, so that a malformed manual is a fault and not a guess.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace manual_test {

struct Node {
    std::string tag;                                // lower case; empty for a text node
    std::map<std::string, std::string> attributes;  // values with their references decoded
    std::string text;                               // a text node's text, decoded
    std::vector<Node> children;

    bool is_text() const { return tag.empty(); }
    // The attribute's value, or "" when there is none.
    std::string attribute(const std::string& name) const;
    bool has_attribute(const std::string& name) const { return attributes.count(name) != 0; }
    bool has_class(std::string_view name) const;
    // The text of every text node below, in order.
    std::string inner_text() const;
};

// The document as the root's children (the doctype and comments are left out). False, with the
// reason and the line, for an end tag that closes no open element, an element left open, a tag
// that does not read, or an unknown character reference.
bool read_html(std::string_view html, Node& root, std::string& error);

// Every element below the node, depth first in document order, for which the test holds.
std::vector<const Node*> find_all(const Node& node, const std::function<bool(const Node&)>& test);
std::vector<const Node*> find_all(const Node& node, std::string_view tag);
std::vector<const Node*> find_all(const Node& node, std::string_view tag, std::string_view css_class);

}  // namespace manual_test

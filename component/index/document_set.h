// @brief DocumentSet: the ordered set of unique document keys.
//
// std::string compares through char_traits<char>::compare, which compares
// bytes as unsigned char whatever the signedness of char, so the order is
// byte-wise unsigned, case-sensitive, shorter prefix first: the order the
// set difference of the update walks in.
#pragma once

#include <set>
#include <string>

using DocumentSet = std::set<std::string>;

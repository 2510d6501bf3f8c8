// The elements the parser keeps and the layout draws, shared by both.
#pragma once
#include <string_view>

namespace sorel {

enum class HtmlTag : unsigned char {
  Unknown, A, Address, B, Base, Big, Blockquote, Body, Br, Caption, Center, Cite, Code, Col, Colgroup,
  Dd, Dfn, Dir, Div, Dl, Dt, Em, Font, H1, H2, H3, H4, H5, H6, Head, Hr, Html, I, Img, Kbd, Li, Link,
  Listing, Menu, Meta, Nobr, Ol, P, Pre, Samp, Script, Small, Span, Strong, Style, Sub, Sup, Table,
  Tbody, Td, Tfoot, Th, Thead, Title, Tr, Tt, U, Ul, Var, Wbr, Xmp,
};

// The tag of a lower-case element name; Unknown for any other.
HtmlTag HtmlTagOf(std::string_view name);

inline bool IsHeading(HtmlTag t) { return t >= HtmlTag::H1 && t <= HtmlTag::H6; }

}  // namespace sorel

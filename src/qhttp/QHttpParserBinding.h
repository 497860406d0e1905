#pragma once

#include <http_parser.h>

namespace qhttp {

// Points a parser's callbacks at the members of `Owner` (the client or a
// server connection), found through the parser's data pointer: message
// begin, the head's fields and values (into Owner::m_head), head complete,
// body pieces, message complete. The callback that differs between the two
// (status line or request target) the owner sets itself.
template <typename Owner>
struct QHttpParserBinding
{
    static Owner *owner(http_parser *p) { return static_cast<Owner *>(p->data); }

    static void bind(http_parser_settings &s, http_parser &parser, http_parser_type type, Owner *o)
    {
        http_parser_settings_init(&s);
        s.on_message_begin = [](http_parser *p) { return owner(p)->onMessageBegin(); };
        s.on_header_field = [](http_parser *p, const char *at, size_t n) { return owner(p)->m_head.addField(at, n) ? 0 : 1; };
        s.on_header_value = [](http_parser *p, const char *at, size_t n) { return owner(p)->m_head.addValue(at, n) ? 0 : 1; };
        s.on_headers_complete = [](http_parser *p) { return owner(p)->onHeadersComplete(); };
        s.on_body = [](http_parser *p, const char *at, size_t n) { return owner(p)->onBody(at, n); };
        s.on_message_complete = [](http_parser *p) { return owner(p)->onMessageComplete(); };
        http_parser_init(&parser, type);
        parser.data = o;
    }
};

} // namespace qhttp

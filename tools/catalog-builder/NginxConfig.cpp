#include "NginxConfig.h"

namespace NginxConfig {

namespace {

constexpr const char* kTemplate =
    R"(# Serving a static export of a Pictavia content catalogue with nginx.
#
# The export holds every answer of the content protocol as a file:
#   KIND/nodes.json                 ?act=nodes
#   KIND/list/full.json             ?act=list, and ?act=list&dif=V for any V never published
#   KIND/list/V.json                ?act=list&dif=V (the difference from version V)
#   KIND/get/current/NAME           ?act=get&n=NAME (current content)
#   KIND/get/V/NAME                 ?act=get&ver=V&n=NAME where NAME's content at V differs
#                                   from the current one (otherwise the current file answers)
# with KIND "standard" or "tall". A JSON answer ends in ".jsongz" instead of ".json" when it
# is gzip-compressed; it must then go out with "Content-Encoding: application/gzip" (the
# protocol's own value, not "gzip") and "Content-Type: application/json".
#
# Any HTTP server or CDN that can route by query string and set those two headers by file
# suffix can serve the export the same way; upload the folder as it is.
#
# Use: put the two "map" blocks and the "server" block inside nginx's "http" block (for
# example as /etc/nginx/conf.d/pictavia.conf), adjust "listen" and "root", then
# "nginx -t && nginx -s reload". Re-export after every publish; the export replaces its folder
# in one rename, so a running server never sees half of it.

# Only well-formed values reach the file system; anything else selects the fallback answer.
map $arg_dif $pictavia_list { "~^[1-9][0-9]{0,9}$" $arg_dif; default full; }
map $arg_ver $pictavia_ver  { "~^[1-9][0-9]{0,9}$" $arg_ver; default current; }
map $arg_n   $pictavia_name { "~^[a-z][A-Za-z0-9._~@:;,!-]*$" $arg_n; default "-"; }

server {
    listen 8642;
    root @ROOT@;
    types { }
    default_type application/octet-stream;

    # The device asks KIND/ followed directly by the query.
    location ~ ^/(?<kind>standard|tall)/$ {
        if ($arg_act = nodes) { rewrite ^ /$kind/nodes last; }
        if ($arg_act = list)  { rewrite ^ /$kind/list/$pictavia_list last; }
        if ($arg_act = get)   { rewrite ^ /$kind/get/$pictavia_ver/$pictavia_name last; }
        return 404;
    }

    # A JSON answer by its name: the compressed file, the plain one, or the full list.
    location ~ ^/(?<kind>standard|tall)/(?<answer>nodes|list/[a-z0-9]+)$ {
        internal;
        if (-f $document_root/$kind/$answer.jsongz) { rewrite ^ /$kind/$answer.jsongz last; }
        if (-f $document_root/$kind/$answer.json)   { rewrite ^ /$kind/$answer.json last; }
        rewrite ^ /$kind/list/full last;
    }
    location ~ \.json$ {
        internal;
        default_type application/json;
    }
    location ~ \.jsongz$ {
        internal;
        default_type application/json;
        add_header Content-Encoding application/gzip always;
    }

    # Content files: the version's own file when it differs, else the current one.
    location ~ ^/(?<kind>standard|tall)/get/(?<ver>[^/]+)/(?<name>[^/]+)$ {
        internal;
        types {
            image/png png;
            image/jpeg jpg jpeg;
            application/octet-stream svgpb;
        }
        try_files /$kind/get/$ver/$name /$kind/get/current/$name =404;
    }

    location / { return 404; }
}
)";

}  // namespace

std::string sample(const std::string& exportFolder) {
  std::string text = kTemplate;
  const std::string marker = "@ROOT@";
  text.replace(text.find(marker), marker.size(), exportFolder);
  return text;
}

}  // namespace NginxConfig

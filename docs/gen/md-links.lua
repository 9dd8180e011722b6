-- Links between the guide's Markdown pages point at the HTML pages made
-- from them.
function Link(link)
  if not link.target:match("^%a+://") then
    link.target = link.target:gsub("%.md$", ".html"):gsub("%.md#", ".html#")
  end
  return link
end

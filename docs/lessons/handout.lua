-- The pandoc filter of the printable handouts (tools/handout.sh): it makes
-- the lesson sheet, docs/lessons.md, into the teacher's copy
-- (-M handout=teacher) or the students' worksheet (-M handout=worksheet).
--
-- - <div class="teacher"> and <div class="answer"> print only in the
--   teacher's copy, <div class="student"> only in the worksheet. An
--   answer's picture goes first, to stand beside its text.
-- - A ```matrix (or ```symbols) block becomes a table; a ```product block
--   (one term a line, "NAME = ROW / ROW / ROW", between lines holding an
--   operator) a row of captioned tables.
-- - A ```blank block (names, one a line) becomes empty 3x3 tables to fill
--   in.
-- - A ```frames block (one frame a line: "REACH CAPTION", the axes from
--   -REACH to REACH) becomes, for each line, a picture in frames/ of the
--   axes with labelled ticks, a light grid and the figure where it starts,
--   in grey and dashed; then one table of the key points, a column to fill
--   in for each frame.
-- - A ```keypoints block becomes the figure with its key points labelled,
--   and the table of their coordinates.
-- - An ```answer-key block becomes the table of every exercise's matrix, as
--   docs/lessons/exercises.txt types it (-M exercises=FILE), its determinant
--   and where the key points go.
-- - A fenced block of any other kind stops pandoc: it would print as text.
-- - A <div class="working" lines="N"> becomes N ruled lines to work on.
-- - Exercises ("## N. ...") start a page, so that one can be copied for a
--   class; so does a heading of class "page".
-- The figure is read from the program's own drawing code (-M scene=FILE).
-- A picture that is not there or a link to no heading stops pandoc with an
-- error, so that its exit status says whether the handout is whole.

local mode, scene, exercises_list

-- The key points, A to E, in the figure's own coordinates.
local key_points = {
  { "A", "left foot, outer end", 0, 0 },
  { "B", "right foot, outer end", 6, 0 },
  { "C", "hip", 3, 3 },
  { "D", "top of the head", 3, 10 },
  { "E", "raised hand", 4.5, 7.5 },
}

local function escape(text)
  return (text:gsub("&", "&amp;"):gsub("<", "&lt;"):gsub(">", "&gt;"):gsub('"', "&quot;"))
end

-- A number as printed: a true minus sign.
local function number(text)
  return (tostring(text):gsub("^%-", "−"))
end

local function fmt(value)
  return number(string.format("%g", value))
end

local function html(text)
  return pandoc.RawBlock("html", text)
end

local function words(line)
  local result = {}
  for word in line:gmatch("%S+") do
    result[#result + 1] = word
  end
  return result
end

-- A 3x3 table; rows of texts, or nil for empty cells. The caption names it.
local function matrix_table(rows, caption)
  local out = { '<table class="matrix">' }
  if caption then
    out[#out + 1] = "<caption>" .. escape(caption) .. "</caption>"
  end
  for r = 1, 3 do
    out[#out + 1] = "<tr>"
    for c = 1, 3 do
      local value = rows and rows[r][c] or ""
      out[#out + 1] = "<td>" .. escape(number(value)) .. "</td>"
    end
    out[#out + 1] = "</tr>"
  end
  out[#out + 1] = "</table>"
  return table.concat(out)
end

local function matrix_rows(text)
  local rows = {}
  for line in text:gmatch("[^\n]+") do
    local cells = words(line:gsub("[|%[%]]", " "))
    if #cells > 0 then
      rows[#rows + 1] = cells
    end
  end
  return rows
end

-- "T = 1 0 20 / 0 1 10 / 0 0 1" lines and operator lines.
local function product(text)
  local out = { '<div class="product">' }
  for line in text:gmatch("[^\n]+") do
    local name, values = line:match("^%s*(.-)%s*=%s*(.+)$")
    if name and name ~= "" then
      local rows = {}
      for row in values:gmatch("[^/]+") do
        rows[#rows + 1] = words(row)
      end
      out[#out + 1] = matrix_table(rows, name)
    elseif line:match("%S") then
      out[#out + 1] = '<span class="operator">' .. escape(line:match("^%s*(.-)%s*$")) .. "</span>"
    end
  end
  out[#out + 1] = "</div>"
  return html(table.concat(out))
end

local function blank(text)
  local out = { '<div class="product">' }
  for name in text:gmatch("[^\n]+") do
    out[#out + 1] = matrix_table(nil, name:match("^%s*(.-)%s*$"))
  end
  out[#out + 1] = "</div>"
  return html(table.concat(out))
end

-- The figure's strokes from the drawing code: each glBegin ... glEnd block
-- of glVertex2f calls, as a list of points; a GL_LINE_LOOP comes back to
-- its first point, GL_LINES pairs its points.
local figure
local function figure_lines()
  if figure then
    return figure
  end
  local file = io.open(scene, "r")
  if not file then
    error("cannot read the figure's drawing code, " .. scene)
  end
  local code = file:read("a")
  file:close()
  local body = code:match("void drawFigure%(%)(.-)\n}")
  if not body then
    error("no drawFigure() in " .. scene)
  end
  figure = {}
  for kind, block in body:gmatch("glBegin%((GL_[%u_]+)%)(.-)glEnd") do
    local points = {}
    for x, y in block:gmatch("glVertex2f%(([%-%d%.]+)f?,%s*([%-%d%.]+)f?%)") do
      points[#points + 1] = { tonumber(x), tonumber(y) }
    end
    if kind == "GL_LINES" then
      for i = 1, #points - 1, 2 do
        figure[#figure + 1] = { points[i], points[i + 1] }
      end
    else
      if kind == "GL_LINE_LOOP" then
        points[#points + 1] = points[1]
      end
      figure[#figure + 1] = points
    end
  end
  if #figure == 0 then
    error("no figure drawn in " .. scene)
  end
  return figure
end

local frame_count = 0
local colour = {
  axis = "#1A2A6C", -- 13:1 against white
  grid = "#D0D0D0",
  start = "#6E6E6E", -- 5:1 against white
  label = "#000000",
}

-- Writes frames/NAME.svg: the world from `low` (-reach if nil) to reach on
-- both axes, width mm wide, the figure grey and dashed where it starts, or
-- black and solid with `extra`, which may add more (extra(out, unit), in
-- world units, y up).
local function write_frame(name, reach, width, low, extra)
  low = low or -reach
  local margin = (reach - low) * 0.09
  local size = reach - low + 2 * margin
  local unit = width / size -- millimetres a unit
  local mm = function(v) return string.format("%.3f", v / unit) end
  local out = {
    string.format('<svg xmlns="http://www.w3.org/2000/svg" width="%gmm" height="%gmm" ' ..
      'viewBox="%g %g %g %g" font-family="DejaVu Sans">', width, width, low - margin, -reach - margin, size, size),
    '<rect x="' .. (low - margin) .. '" y="' .. (-reach - margin) .. '" width="' .. size .. '" height="' .. size ..
      '" fill="#FFFFFF"/>',
    '<g transform="scale(1,-1)">',
  }
  local grid = (reach - low) <= 40 and 1 or 5
  local labels = (reach - low) <= 50 and 5 or 10
  for v = math.ceil(low / grid) * grid, reach, grid do
    out[#out + 1] = string.format('<line class="grid" x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%s"/>',
      v, low, v, reach, colour.grid, mm(0.15))
    out[#out + 1] = string.format('<line class="grid" x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%s"/>',
      low, v, reach, v, colour.grid, mm(0.15))
  end
  out[#out + 1] = string.format('<line class="axis" x1="%g" y1="0" x2="%g" y2="0" stroke="%s" stroke-width="%s"/>',
    low, reach, colour.axis, mm(0.5))
  out[#out + 1] = string.format('<line class="axis" x1="0" y1="%g" x2="0" y2="%g" stroke="%s" stroke-width="%s"/>',
    low, reach, colour.axis, mm(0.5))
  local tick = 1.2 / unit
  for v = math.ceil(low / 5) * 5, reach, 5 do
    if v ~= 0 then
      out[#out + 1] = string.format('<line class="tick" x1="%g" y1="%s" x2="%g" y2="%s" stroke="%s" stroke-width="%s"/>',
        v, -tick, v, tick, colour.axis, mm(0.4))
      out[#out + 1] = string.format('<line class="tick" x1="%s" y1="%g" x2="%s" y2="%g" stroke="%s" stroke-width="%s"/>',
        -tick, v, tick, v, colour.axis, mm(0.4))
    end
  end
  for _, points in ipairs(figure_lines()) do
    local coords = {}
    for _, p in ipairs(points) do
      coords[#coords + 1] = string.format("%g,%g", p[1], p[2])
    end
    local style = extra and string.format('stroke="#000000" stroke-width="%s"', mm(0.6)) or
      string.format('stroke="%s" stroke-width="%s" stroke-dasharray="%s %s"', colour.start, mm(0.45), mm(1.2), mm(0.6))
    out[#out + 1] = string.format('<polyline class="start" points="%s" fill="none" %s stroke-linejoin="round"/>',
      table.concat(coords, " "), style)
  end
  if extra then
    extra(out, unit)
  end
  out[#out + 1] = "</g>"
  -- Tick labels, upright, outside the flip.
  local font = 2.8 / unit
  for v = math.ceil(low / labels) * labels, reach, labels do
    if v ~= 0 then
      out[#out + 1] = string.format('<text class="tick-label" x="%g" y="%g" font-size="%s" text-anchor="middle" ' ..
        'fill="%s">%s</text>', v, tick + font, mm(2.8), colour.label, fmt(v))
      out[#out + 1] = string.format('<text class="tick-label" x="%g" y="%g" font-size="%s" text-anchor="end" ' ..
        'fill="%s">%s</text>', -tick - font * 0.3, -v + font * 0.35, mm(2.8), colour.label, fmt(v))
    end
  end
  out[#out + 1] = string.format('<text x="%g" y="%g" font-size="%s" fill="%s" font-style="italic">x</text>',
    reach + margin * 0.15, -font * 0.4, mm(3.2), colour.label)
  out[#out + 1] = string.format('<text x="%g" y="%g" font-size="%s" fill="%s" font-style="italic">y</text>',
    font * 0.4, -reach - margin * 0.2, mm(3.2), colour.label)
  out[#out + 1] = "</svg>\n"
  os.execute("mkdir -p frames")
  local file = assert(io.open("frames/" .. name .. ".svg", "w"))
  file:write(table.concat(out, "\n"))
  file:close()
  return "frames/" .. name .. ".svg"
end

local function figure_html(src, caption, class)
  return string.format('<figure class="%s"><img src="%s" alt="%s"/><figcaption>%s</figcaption></figure>',
    class, src, escape(caption), escape(caption))
end

local function fmt_point(p)
  return "(" .. fmt(p[3]) .. ", " .. fmt(p[4]) .. ")"
end

local function point_rows(columns)
  local out = {}
  for _, p in ipairs(key_points) do
    local cells = { "<th scope=\"row\">" .. p[1] .. "</th>", "<td>(" .. fmt(p[3]) .. ", " .. fmt(p[4]) .. ")</td>" }
    for _ = 1, columns do
      cells[#cells + 1] = "<td></td>"
    end
    out[#out + 1] = "<tr>" .. table.concat(cells) .. "</tr>"
  end
  return table.concat(out)
end

-- "REACH CAPTION" lines: the frames and the table to fill in.
local function frames(text, exercise)
  local out = { '<div class="prediction">' }
  local heads = {}
  local index = 0
  for line in text:gmatch("[^\n]+") do
    local reach, caption = line:match("^%s*(%d+)%s+(.-)%s*$")
    if not reach then
      error("exercise " .. exercise .. ": a frame is \"REACH CAPTION\", not \"" .. line .. "\"")
    end
    index = index + 1
    frame_count = frame_count + 1
    local label = exercise .. string.char(96 + index)
    local src = write_frame(string.format("frame-%02d-%s", frame_count, label), tonumber(reach), 72)
    heads[#heads + 1] = caption
    out[#out + 1] = figure_html(src, string.format("Frame %s: %s. Axes from %s to %s, the grey dashed figure " ..
      "where it starts.", label, caption, fmt(-tonumber(reach)), fmt(tonumber(reach))), "frame")
  end
  local head = { '<table class="points"><caption>Where the key points go (write x′, y′)</caption><thead><tr>' ..
    '<th scope="col">Point</th><th scope="col">Start</th>' }
  for _, h in ipairs(heads) do
    head[#head + 1] = '<th scope="col">' .. escape(h) .. "</th>"
  end
  head[#head + 1] = "</tr></thead><tbody>" .. point_rows(#heads) .. "</tbody></table>"
  out[#out + 1] = table.concat(head) .. "</div>"
  return html(table.concat(out))
end

-- The figure large, its key points marked and lettered, and their table.
local function keypoints()
  local src = write_frame("key-points", 11, 70, -2, function(out, unit)
    for _, p in ipairs(key_points) do
      out[#out + 1] = string.format('<circle cx="%g" cy="%g" r="%s" fill="#000000"/>', p[3], p[4], 0.9 / unit)
      out[#out + 1] = string.format('<text x="%g" y="%g" font-size="%s" font-weight="bold" transform="scale(1,-1)">' ..
        '%s</text>', p[3] + 0.35, -(p[4] + 0.35), 4 / unit, p[1])
    end
  end)
  local rows = {}
  for _, p in ipairs(key_points) do
    rows[#rows + 1] = string.format('<tr><th scope="row">%s</th><td>%s</td><td>(%s, %s)</td></tr>', p[1], p[2],
      fmt(p[3]), fmt(p[4]))
  end
  return html(figure_html(src, "The figure where it starts, with its key points: A (0, 0), B (6, 0), " ..
      "C (3, 3), D (3, 10) and E (4.5, 7.5). Axes from −2 to 11, labels every 5 units.", "key") ..
    '<table class="points"><caption>The key points</caption><thead><tr><th scope="col">Point</th>' ..
    '<th scope="col">Where</th><th scope="col">(x, y)</th></tr></thead><tbody>' .. table.concat(rows) ..
    "</tbody></table>")
end

-- A number of the answer key: at most two decimals.
local function rounded(value)
  local text = string.format("%.2f", value):gsub("0+$", ""):gsub("%.$", "")
  if text == "-0" then
    text = "0"
  end
  return number(text)
end

-- The answer key: for each exercise, numbered as in the sheet, the matrix
-- its list entries give, its determinant and where the key points go.
local function answer_key(numbered)
  local file = io.open(exercises_list, "r")
  if not file then
    error("cannot read the exercise list, " .. exercises_list)
  end
  local entries = {}
  for line in file:lines() do
    local w = words(line)
    if #w > 0 and w[1]:sub(1, 1) ~= "#" then
      entries[w[1]] = { table.unpack(w, 2) }
    end
  end
  file:close()
  local rows = {}
  for n, name in ipairs(numbered) do
    if not entries[name] then
      error("exercise " .. n .. " shows images/lessons/" .. name .. ".png, which the exercise list lacks")
    end
    local m = { { 1, 0, 0 }, { 0, 1, 0 } }
    local typed = { { "1", "0", "0" }, { "0", "1", "0" } }
    for _, entry in ipairs(entries[name]) do
      local column, row, text = entry:match("^(%d),(%d)=(.+)$")
      m[tonumber(row) + 1][tonumber(column) + 1] = tonumber(text)
      typed[tonumber(row) + 1][tonumber(column) + 1] = number(text)
    end
    local cells = { tostring(n), table.concat(typed[1], ", "), table.concat(typed[2], ", "),
      rounded(m[1][1] * m[2][2] - m[1][2] * m[2][1]) }
    for _, p in ipairs(key_points) do
      local x, y = p[3], p[4]
      cells[#cells + 1] = "(" .. rounded(m[1][1] * x + m[1][2] * y + m[1][3]) .. ", " ..
        rounded(m[2][1] * x + m[2][2] * y + m[2][3]) .. ")"
    end
    rows[#rows + 1] = '<tr><th scope="row">' .. table.concat(cells, "</td><td>"):gsub("</td>", "</th>", 1) ..
      "</td></tr>"
  end
  local head = { "No.", "a, b, tx", "c, d, ty", "det" }
  for _, p in ipairs(key_points) do
    head[#head + 1] = p[1] .. " " .. fmt_point(p)
  end
  return html('<table class="key"><caption>Each exercise\'s matrix once all its steps are typed, its ' ..
    "determinant a·d − b·c and where the key points go, both rounded to two decimals</caption><thead><tr>" ..
    '<th scope="col">' .. table.concat(head, '</th><th scope="col">') .. "</th></tr></thead><tbody>" ..
    table.concat(rows) .. "</tbody></table>")
end

local exercise = "0"
local numbered = {} -- the picture's name of each exercise, by number

local function header(h)
  local n = pandoc.utils.stringify(h.content):match("^(%d+)%.")
  if h.level == 2 and n then
    exercise = n
    h.classes:insert("page")
  end
  if h.level == 1 and mode == "worksheet" then
    h.content:extend({ pandoc.Str(":"), pandoc.Space(), pandoc.Str("worksheet") })
  end
  return h
end

local function div(d)
  local keep = { teacher = mode == "teacher", answer = mode == "teacher", student = mode == "worksheet" }
  for class, shown in pairs(keep) do
    if d.classes:includes(class) and not shown then
      return {}
    end
  end
  if d.classes:includes("answer") then
    -- The picture first, beside the text (the stylesheet floats it).
    local pictures, rest = {}, {}
    for _, b in ipairs(d.content) do
      local is_picture = b.t == "Para" and #b.content == 1 and b.content[1].t == "Image"
      table.insert(is_picture and pictures or rest, b)
    end
    for i, b in ipairs(pictures) do
      table.insert(rest, i, b)
    end
    d.content = rest
  end
  if d.classes:includes("working") then
    local lines = tonumber(d.attributes.lines or "4")
    return html(string.format('<div class="working" style="height: %gmm"><p>Working:</p></div>', lines * 8.5))
  end
end

local function code_block(block)
  local kind = block.classes[1]
  if kind == "matrix" or kind == "symbols" then
    return html('<div class="product">' .. matrix_table(matrix_rows(block.text)) .. "</div>")
  elseif kind == "product" then
    return product(block.text)
  elseif kind == "blank" then
    return blank(block.text)
  elseif kind == "frames" then
    return frames(block.text, exercise)
  elseif kind == "keypoints" then
    return keypoints()
  elseif kind == "answer-key" then
    return answer_key(numbered)
  end
  -- Anything else would print as text art, which a screen reader reads as
  -- bars and spaces.
  error("exercise " .. exercise .. ": a fenced block of kind \"" .. (kind or "") .. "\", which the handouts do not know")
end

-- Every picture is there and every link of the sheet leads to a heading.
local function check(doc)
  local ids, links = {}, {}
  doc:walk({
    Header = function(h) ids[h.identifier] = true end,
    Div = function(d) ids[d.identifier] = true end,
    Link = function(l)
      if l.target:sub(1, 1) == "#" then links[#links + 1] = l.target:sub(2) end
    end,
    Image = function(i)
      local file = io.open(i.src, "r")
      if not file then error("the picture " .. i.src .. " is not there") end
      file:close()
    end,
  })
  for _, target in ipairs(links) do
    if not ids[target] then
      error("the link to #" .. target .. " leads to no heading of the " .. mode .. "'s copy")
    end
  end
end

return {
  {
    Meta = function(meta)
      mode = pandoc.utils.stringify(meta.handout or "")
      scene = pandoc.utils.stringify(meta.scene or "")
      exercises_list = pandoc.utils.stringify(meta.exercises or "")
      if mode ~= "teacher" and mode ~= "worksheet" then
        error("say -M handout=teacher or -M handout=worksheet")
      end
    end,
  },
  -- In document order, so that a frame knows its exercise.
  {
    Pandoc = function(doc)
      local current
      for _, b in ipairs(doc.blocks) do
        if b.t == "Header" then
          current = tonumber(pandoc.utils.stringify(b.content):match("^(%d+)%."))
        elseif current then
          pandoc.walk_block(pandoc.Div({ b }), {
            Image = function(i)
              numbered[current] = numbered[current] or i.src:match("^images/lessons/(.+)%.png$")
            end,
          })
        end
      end
      local blocks = {}
      local function walk(list)
        for _, b in ipairs(list) do
          if b.t == "Header" then
            blocks[#blocks + 1] = header(b)
          elseif b.t == "Div" then
            local result = div(b)
            if result == nil then
              local inner = {}
              local saved = blocks
              blocks = inner
              walk(b.content)
              blocks = saved
              b.content = inner
              blocks[#blocks + 1] = b
            elseif result.t then
              blocks[#blocks + 1] = result
            end
          elseif b.t == "CodeBlock" then
            blocks[#blocks + 1] = code_block(b)
          else
            blocks[#blocks + 1] = b
          end
        end
      end
      walk(doc.blocks)
      doc.blocks = blocks
      check(doc)
      return doc
    end,
  },
}

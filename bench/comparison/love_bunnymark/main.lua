-- The bunnymark scene with LÖVE: N copies of the 32 x 32 picture, blended,
-- bouncing across the 640 x 480 window, one love.graphics.draw per bunny
-- (LÖVE batches consecutive draws of one image by itself), linear
-- filtering, and a main loop without the default 1 ms sleep.
-- Prints "<N> <fps>" and the framebuffer that was granted on standard error.
-- Usage: love love_bunnymark PICTURE N SECONDS
-- A negative SECONDS -F measures exactly F frames.
local floor = math.floor
local count, seconds, image
local xs, ys, vxs, vys = {}, {}, {}, {}

-- The Park-Miller generator every implementation uses (exact in doubles).
local state = 12345
local function nextRandom()
  state = (state * 16807) % 2147483647
  return state / 2147483647
end

-- Reads the picture from any path and makes the bunnies.
function love.load(args)
  count = tonumber(args[2])
  seconds = tonumber(args[3])
  local file = assert(io.open(args[1], "rb"))
  local bytes = file:read("*a")
  file:close()
  image = love.graphics.newImage(love.image.newImageData(love.filesystem.newFileData(bytes, "bunny.png")))
  image:setFilter("linear", "linear")
  for i = 1, count do
    xs[i] = nextRandom() * (640 - 32)
    ys[i] = nextRandom() * (480 - 32)
    vxs[i] = nextRandom() * 8 - 4
    vys[i] = nextRandom() * 8 - 4
  end
  local _, _, flags = love.window.getMode()
  io.stderr:write(string.format("love: depth %s stencil %s\n", tostring(flags.depth), tostring(flags.stencil)))
end

-- One step of every bunny, bouncing off the edges.
local function move()
  local maxX, maxY = 640 - 32, 480 - 32
  for i = 1, count do
    local x, y = xs[i] + vxs[i], ys[i] + vys[i]
    if x < 0 then x = -x; vxs[i] = -vxs[i] end
    if x > maxX then x = 2 * maxX - x; vxs[i] = -vxs[i] end
    if y < 0 then y = -y; vys[i] = -vys[i] end
    if y > maxY then y = 2 * maxY - y; vys[i] = -vys[i] end
    xs[i], ys[i] = x, y
  end
end

-- Five frames of warm-up, then frames until the measuring time is over.
function love.run()
  love.load(love.arg.parseGameArguments(arg), arg)
  local warm, frames, start = 5, 0, 0
  return function()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    move()
    love.graphics.origin()
    love.graphics.clear(0, 0, 0)
    for i = 1, count do love.graphics.draw(image, floor(xs[i]), floor(ys[i])) end
    love.graphics.present()
    if warm > 0 then
      warm = warm - 1
      if warm == 0 then start = love.timer.getTime() end
      return
    end
    frames = frames + 1
    local elapsed = love.timer.getTime() - start
    if (seconds < 0 and frames >= -seconds) or (seconds >= 0 and elapsed >= seconds and frames >= 3) then
      io.write(string.format("%d %.1f\n", count, frames / elapsed))
      io.flush()
      return 0
    end
  end
end
